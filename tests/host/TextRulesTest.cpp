#include "app/TextRules.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

struct SplitCase {
    const char* text;
    Names expected;
};

class SplitTextTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextTest, FollowsTheSeparatorRules) {
    EXPECT_EQ(app::SplitText(GetParam().text, '|'), GetParam().expected);
}

// "\x81\x7C" is one double-byte character whose second byte is "|".
INSTANTIATE_TEST_SUITE_P(Cases, SplitTextTest, testing::Values(
    SplitCase{"", {}},
    SplitCase{"a", {"a"}},
    SplitCase{"a|b", {"a", "b"}},
    SplitCase{"a||b", {"a", "", "b"}},
    SplitCase{"a|b|", {"a", "b"}},
    SplitCase{"|a", {"", "a"}},
    SplitCase{"|", {""}},
    SplitCase{"x\x81\x7Cy|z", {"x\x81\x7Cy", "z"}},
    SplitCase{"甲|乙", {"甲", "乙"}}));

struct TextCase {
    const char* input;
    const char* expected;
};

class LowerCaseTest : public testing::TestWithParam<TextCase> {};

TEST_P(LowerCaseTest, LowersOnlyLatinLetters) {
    EXPECT_EQ(app::LowerCase(GetParam().input), GetParam().expected);
}

// "\x81\x41" is a double-byte character whose trail byte is "A": it must stay.
INSTANTIATE_TEST_SUITE_P(Cases, LowerCaseTest, testing::Values(
    TextCase{"QUORVANE.EXE", "quorvane.exe"},
    TextCase{"Quorvane.exe", "quorvane.exe"},
    TextCase{"\x81\x41Z", "\x81\x41z"},
    TextCase{"[@]^", "[@]^"},
    TextCase{"", ""}));

class TrimSpacesTest : public testing::TestWithParam<TextCase> {};

TEST_P(TrimSpacesTest, RemovesBothKindsOfSpaceAtBothEnds) {
    EXPECT_EQ(app::TrimSpaces(GetParam().input), GetParam().expected);
}

// "\xA1\xA1" is the full-width space; "\xB0\xA1\xA1\xA1" is a character ending in A1 then
// a full-width space, so only the last pair goes.
INSTANTIATE_TEST_SUITE_P(Cases, TrimSpacesTest, testing::Values(
    TextCase{"   ", ""},
    TextCase{"", ""},
    TextCase{"  Apps  ", "Apps"},
    TextCase{"\xA1\xA1 Apps \xA1\xA1", "Apps"},
    TextCase{"a b", "a b"},
    TextCase{"\xB0\xA1\xA1\xA1", "\xB0\xA1"},
    TextCase{" \xA1\xA1\xA1\xA1", ""}));

}  // namespace

// The values ExtractProgress carries, and a handler that asks to stop.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "ExtractFixture.h"

namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using ziptest::NumberedFiles;

struct SequenceCase {
    int entries;
    std::vector<int32_t> events;
};

class ExtractProgressTest : public ExtractFixture, public testing::WithParamInterface<SequenceCase> {};

TEST_P(ExtractProgressTest, RaisesEachEntryThenOneHundred) {
    PutArchive(NumberedFiles(GetParam().entries));
    EXPECT_EQ(Extract(), 1);
    EXPECT_TRUE(wholeArchive);
    EXPECT_THAT(events, ElementsAreArray(GetParam().events));
    EXPECT_EQ(ContentOf("C:\\out\\f0.txt"), "file 0");
}

INSTANTIATE_TEST_SUITE_P(Archives, ExtractProgressTest, testing::Values(
    SequenceCase{1, {0, 100}},
    SequenceCase{3, {0, 33, 66, 100}},
    SequenceCase{9, {0, 11, 22, 33, 44, 55, 66, 77, 88, 100}}));

using ExtractEventTest = ExtractFixture;

TEST_F(ExtractEventTest, PercentagesAreComputedInDoublePrecision) {
    PutArchive(NumberedFiles(100));
    EXPECT_EQ(Extract(), 1);
    ASSERT_EQ(events.size(), 101u);
    EXPECT_EQ(events[29], 28);  // 29 / 100 * 100 is just below 29
    EXPECT_EQ(events[58], 57);
    EXPECT_EQ(events[99], 99);
    EXPECT_EQ(events[100], 100);
}

TEST_F(ExtractEventTest, PayloadShapedArchiveWithADirectoryBeforeItsFile) {
    auto entries = NumberedFiles(7);
    entries.push_back(ziptest::Directory("data/"));
    entries.push_back(ziptest::File("data/core.dat", "core"));
    PutArchive(entries);
    EXPECT_EQ(Extract(), 1);
    EXPECT_THAT(events, ElementsAre(0, 11, 22, 33, 44, 55, 66, 77, 88, 100));
    EXPECT_EQ(ContentOf("C:\\out\\data\\core.dat"), "core");
}

TEST_F(ExtractEventTest, MissingArchiveGivesMinusOneAndOneZero) {
    EXPECT_EQ(Extract(), -1);
    EXPECT_THAT(events, ElementsAre(0));
}

TEST_F(ExtractEventTest, EmptyArchivePathGivesMinusOneAndOneZero) {
    EXPECT_EQ(Extract(Target, ""), -1);
    EXPECT_THAT(events, ElementsAre(0));
}

TEST_F(ExtractEventTest, ArchiveThatListsNoEntryGivesOneAndOneZero) {
    // A file that begins with a local header but whose central directory is empty.
    auto zip = ziptest::MakeZip(NumberedFiles(1));
    const ziptest::Layout layout = ziptest::LayoutOf(zip);
    std::vector<uint8_t> empty(zip.begin(), zip.begin() + static_cast<ptrdiff_t>(layout.central[0]));
    const std::vector<uint8_t> end(zip.begin() + static_cast<ptrdiff_t>(layout.endRecord), zip.end());
    const size_t endAt = empty.size();
    empty.insert(empty.end(), end.begin(), end.end());
    ziptest::Put16(empty, endAt + 8, 0);
    ziptest::Put16(empty, endAt + 10, 0);
    ziptest::Put32(empty, endAt + 12, 0);
    ziptest::Put32(empty, endAt + 16, static_cast<uint32_t>(endAt));
    PutArchive(empty);
    EXPECT_EQ(Extract(), 1);
    EXPECT_THAT(events, ElementsAre(0));
}

TEST_F(ExtractEventTest, StandardEmptyArchiveFailsTheSignatureTest) {
    PutArchive(ziptest::MakeZip({}));  // 22 bytes: an end record and nothing else
    EXPECT_EQ(Extract(), 0);
    EXPECT_THAT(events, ElementsAre(0));
}

TEST_F(ExtractEventTest, FalseAtTheFirstEventLeavesOnlyEntryZero) {
    PutArchive(NumberedFiles(3));
    answer = [](int32_t) { return false; };
    EXPECT_EQ(Extract(), 1);
    EXPECT_THAT(events, ElementsAre(0));
    EXPECT_TRUE(ContentOf("C:\\out\\f0.txt"));
    EXPECT_FALSE(fs.exists("C:\\out\\f1.txt"));
}

TEST_F(ExtractEventTest, FalseLaterStopsAfterTheEntryJustReported) {
    PutArchive(NumberedFiles(4));
    answer = [](int32_t percent) { return percent != 50; };
    EXPECT_EQ(Extract(), 1);
    EXPECT_THAT(events, ElementsAre(0, 25, 50));
    EXPECT_TRUE(fs.exists("C:\\out\\f2.txt"));
    EXPECT_FALSE(fs.exists("C:\\out\\f3.txt"));
}

TEST_F(ExtractEventTest, TrueAndNoAnswerBothGoOn) {
    PutArchive(NumberedFiles(4));
    answer = [](int32_t percent) { return percent == 25 ? std::optional<bool>(true) : std::nullopt; };
    EXPECT_EQ(Extract(), 1);
    EXPECT_THAT(events, ElementsAre(0, 25, 50, 75, 100));
}

}  // namespace

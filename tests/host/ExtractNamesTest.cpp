// Hostile entry names end to end: the entry fails and nothing appears outside the target.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <set>

#include "ExtractFixture.h"

namespace {

class ExtractNamesTest : public ExtractFixture, public testing::WithParamInterface<std::string> {};

std::set<std::string> Paths(const fake::FileSystemFake& fs) {
    std::set<std::string> paths;
    for (const auto& [path, node] : fs.nodes) paths.insert(path);
    return paths;
}

TEST_P(ExtractNamesTest, EntryFailsAndNothingLandsOutside) {
    const std::string& name = GetParam();
    fs.cwd = "C:\\base\\target";  // drive-relative names would land here
    fs.addDirectory("C:\\base");
    ziptest::Entry hostile = ziptest::File(name, "evil");
    if (name.back() == '/' || name.back() == '\\') hostile = ziptest::Directory(name);
    PutArchive({ziptest::File("good.txt", "good"), hostile, ziptest::File("after.txt", "after")});
    std::set<std::string> expected = Paths(fs);
    expected.insert({"C:\\base\\target", "C:\\base\\target\\good.txt"});

    EXPECT_EQ(Extract("C:\\base\\target"), 0);
    EXPECT_THAT(events, testing::ElementsAre(0, 100));
    EXPECT_EQ(Paths(fs), expected);
    EXPECT_EQ(ContentOf("C:\\base\\target\\good.txt"), "good");
}

INSTANTIATE_TEST_SUITE_P(Hostile, ExtractNamesTest, testing::Values(
    "../evil.txt", "..\\evil.txt", "sub/../../evil.txt", "./../evil.txt", "../", "..\\..\\evil\\",
    "/evil.txt", "\\evil.txt", "C:\\evil.txt", "C:/evil.txt", "C:evil.txt", "D:evil.txt",
    "\\\\?\\C:\\evil.txt", "\\\\server\\share\\evil.txt", "good.txt:evil", "CON", "nul.txt", "dir/AUX",
    "evil.txt.", "evil.txt ", "a//evil.txt", std::string(300, 'e')));

}  // namespace

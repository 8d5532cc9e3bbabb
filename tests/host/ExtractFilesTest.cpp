// How entries become files and folders: paths, replacement of existing files, attributes,
// times and the size of each write.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "ExtractFixture.h"
#include "payload/DosTime.h"

namespace {

namespace attr = platform::attr;
using testing::ElementsAre;
using ziptest::Directory;
using ziptest::File;

class ExtractReplaceTest : public ExtractFixture, public testing::WithParamInterface<uint32_t> {};

TEST_P(ExtractReplaceTest, ExistingFileIsReplacedAndEndsNormal) {
    fs.addDirectory("C:\\out");
    fs.addFile("C:\\out\\a.txt", "old content", GetParam());
    PutArchive({File("a.txt", "new")});
    EXPECT_EQ(Extract(), 1);
    EXPECT_EQ(ContentOf("C:\\out\\a.txt"), "new");
    EXPECT_EQ(fs.find("C:\\out\\a.txt")->attributes, attr::Normal);
}

INSTANTIATE_TEST_SUITE_P(Attributes, ExtractReplaceTest,
                         testing::Values(attr::Normal, attr::ReadOnly, attr::Hidden, attr::System,
                                         attr::ReadOnly | attr::Hidden | attr::System | attr::Archive));

class ExtractAttributeTest : public ExtractFixture, public testing::WithParamInterface<uint32_t> {};

TEST_P(ExtractAttributeTest, EveryFileEndsNormalWhateverTheArchiveSays) {
    ziptest::Entry entry = File("a.txt", "x");
    entry.external = GetParam();
    PutArchive({entry});
    EXPECT_EQ(Extract(), 1);
    EXPECT_EQ(fs.find("C:\\out\\a.txt")->attributes, attr::Normal);
}

INSTANTIATE_TEST_SUITE_P(External, ExtractAttributeTest,
                         testing::Values(0u, 0x27u, 0x81240000u, 0x81A40000u | ziptest::DosHidden));

using ExtractWriteTest = ExtractFixture;

TEST_F(ExtractWriteTest, DataIsWrittenIn16384ByteChunks) {
    PutArchive({File("big.bin", std::string(40000, 'z'))});
    EXPECT_EQ(Extract(), 1);
    EXPECT_THAT(fs.writeSizes, ElementsAre(16384, 16384, 7232));
}

TEST_F(ExtractWriteTest, TimesComeFromTheDosStampOrTheUtRecord) {
    ziptest::Entry dos = File("dos.txt", "d");
    dos.dosDateTime = ziptest::DosDateTime(2004, 2, 29, 23, 59, 58);
    ziptest::Entry ut = File("ut.txt", "u");
    ut.localExtra = ziptest::UtRecord(7, {1000000000, -86400, 1200000000});
    PutArchive({dos, ut});
    EXPECT_EQ(Extract(), 1);
    const auto dosTime = *payload::FileTimeFromDos(dos.dosDateTime >> 16, dos.dosDateTime & 0xFFFF);
    const fake::FakeNode& d = *fs.find("C:\\out\\dos.txt");
    EXPECT_EQ(d.write, dosTime);
    EXPECT_EQ(d.access, dosTime);
    EXPECT_EQ(d.creation, dosTime);
    const fake::FakeNode& u = *fs.find("C:\\out\\ut.txt");
    EXPECT_EQ(u.write, payload::FileTimeFromUnixSeconds(1000000000));
    EXPECT_EQ(u.access, payload::FileTimeFromUnixSeconds(-86400));
    EXPECT_EQ(u.creation, payload::FileTimeFromUnixSeconds(1200000000));
}

TEST_F(ExtractWriteTest, InvalidDosStampLeavesTheSystemTimes) {
    ziptest::Entry entry = File("a.txt", "x");
    entry.dosDateTime = ziptest::DosDateTime(2000, 2, 30, 10, 0, 0);
    PutArchive({entry});
    EXPECT_EQ(Extract(), 1);
    EXPECT_EQ(fs.find("C:\\out\\a.txt")->write.ticks, 0u);
}

TEST_F(ExtractWriteTest, NoTimesAreSetOnADevice) {
    fs.addDirectory("C:\\out");
    fs.addFile("C:\\out\\port", "");
    fs.find("C:\\out\\port")->device = true;
    PutArchive({File("port", "bytes")});
    EXPECT_EQ(Extract(), 1);
    EXPECT_EQ(fs.find("C:\\out\\port")->write.ticks, 0u);
}

TEST_F(ExtractWriteTest, DirectoryEntriesBecomeFolders) {
    PutArchive({Directory("a/"), Directory("a/b/"), File("a/b/c.txt", "c")});
    EXPECT_EQ(Extract(), 1);
    EXPECT_TRUE(fs.find("C:\\out\\a\\b")->directory);
    EXPECT_EQ(ContentOf("C:\\out\\a\\b\\c.txt"), "c");
}

TEST_F(ExtractWriteTest, UnixDirectoryEntryWithoutTrailingSlash) {
    ziptest::Entry folder = Directory("bin");
    folder.external = 0x41ED0000;
    PutArchive({folder, File("bin/tool", "t")});
    EXPECT_EQ(Extract(), 1);
    EXPECT_EQ(ContentOf("C:\\out\\bin\\tool"), "t");
}

using ExtractPathTest = ExtractFixture;

TEST_F(ExtractPathTest, TargetAndItsParentsAreCreated) {
    PutArchive({File("a.txt", "x")});
    EXPECT_EQ(Extract("C:\\one\\two\\three"), 1);
    EXPECT_THAT(fs.createdDirectories, ElementsAre("C:\\one\\", "C:\\one\\two\\", "C:\\one\\two\\three\\"));
    EXPECT_EQ(ContentOf("C:\\one\\two\\three\\a.txt"), "x");
}

TEST_F(ExtractPathTest, DriveRootGetsNoSecondSeparator) {
    PutArchive({File("a.txt", "x")});
    EXPECT_EQ(Extract("D:\\"), 1);
    EXPECT_THAT(fs.createdFiles, ElementsAre("D:\\a.txt"));
}

TEST_F(ExtractPathTest, EmptyTargetMeansTheRootOfTheCurrentDrive) {
    PutArchive({File("a.txt", "x")});
    EXPECT_EQ(Extract(""), 1);
    EXPECT_THAT(fs.createdFiles, ElementsAre("\\a.txt"));
    EXPECT_EQ(ContentOf("C:\\a.txt"), "x");
}

// 0x81 0x5C is one GBK character whose second byte is "\".
TEST_F(ExtractPathTest, DoubleByteCharacterEndingIn5CIsNoSeparator) {
    PutArchive({File("a.txt", "x")});
    EXPECT_EQ(Extract("C:\\\x81\x5C\\d\x81\x5C"), 1);
    EXPECT_THAT(fs.createdDirectories,
                ElementsAre("C:\\\x81\x5C\\", "C:\\\x81\x5C\\d\x81\x5C\\"));
    EXPECT_THAT(fs.createdFiles, ElementsAre("C:\\\x81\x5C\\d\x81\x5C\\a.txt"));
}

TEST_F(ExtractPathTest, ForwardSlashesInNamesBecomeBackslashes) {
    PutArchive({Directory("d/"), File("d/a.txt", "x")});
    EXPECT_EQ(Extract(), 1);
    EXPECT_THAT(fs.createdFiles, ElementsAre("C:\\out\\d\\a.txt"));
}

TEST_F(ExtractPathTest, RelativeTargetGetsFoldersUnderTheCurrentDirectory) {
    PutArchive({File("sub/deep/a.txt", "x")});
    EXPECT_EQ(Extract("out"), 1);
    EXPECT_EQ(ContentOf("C:\\work\\out\\sub\\deep\\a.txt"), "x");
}

TEST_F(ExtractPathTest, RelativeTargetThatClimbsGetsNoFolders) {
    PutArchive({File("sub/a.txt", "x")});
    EXPECT_EQ(Extract("..\\out"), 0);
    EXPECT_TRUE(fs.exists("C:\\out"));
    EXPECT_FALSE(fs.exists("C:\\out\\sub"));
}

}  // namespace

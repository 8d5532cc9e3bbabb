// Reading entry information through the unzip interface.
#include <gtest/gtest.h>

#include "FileSystemFake.h"
#include "ZipTestArchive.h"
#include "payload/DosTime.h"
#include "payload/ZipArchive.h"

namespace {

namespace attr = platform::attr;

class ZipArchiveTest : public testing::Test {
protected:
    fake::FileSystemFake fs;

    std::unique_ptr<payload::ZipArchive> Open(const std::vector<ziptest::Entry>& entries) {
        const auto zip = ziptest::MakeZip(entries);
        fs.addFile("C:\\a.zip", std::string(zip.begin(), zip.end()));
        return payload::ZipArchive::Open(fs, "C:\\a.zip");
    }
};

TEST_F(ZipArchiveTest, EntryInformationComesFromBothHeaders) {
    ziptest::Entry entry = ziptest::File("dir/name.txt", std::string(3000, 'q'));
    entry.external = 0x21;
    entry.localExtra = ziptest::UtRecord(1, {1234567890});
    auto archive = Open({ziptest::File("first", "1"), entry});
    ASSERT_TRUE(archive);
    const payload::ZipEntryInfo* info = archive->ReadEntry(1);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->index, 1);
    EXPECT_EQ(info->name, "dir/name.txt");
    EXPECT_EQ(info->attributes, attr::Normal | attr::Archive | attr::ReadOnly);
    EXPECT_EQ(info->uncompressedSize, 3000u);
    EXPECT_LT(info->compressedSize, 3000u);
    EXPECT_FALSE(info->encrypted);
    EXPECT_EQ(info->writeTime, payload::FileTimeFromUnixSeconds(1234567890));
    EXPECT_EQ(info->accessTime, payload::FileTimeFromDos(ziptest::DefaultDosTime >> 16, ziptest::DefaultDosTime & 0xFFFF));
}

TEST_F(ZipArchiveTest, TheEntryReadLastIsKept) {
    auto archive = Open(ziptest::NumberedFiles(3));
    ASSERT_TRUE(archive && archive->ReadEntry(1));
    const int reads = fs.reads;
    const payload::ZipEntryInfo* again = archive->ReadEntry(1);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->name, "f1.txt");
    EXPECT_EQ(fs.reads, reads) << "the archive was read again";
}

TEST_F(ZipArchiveTest, AnEarlierEntryIsReachedFromTheFirst) {
    auto archive = Open(ziptest::NumberedFiles(3));
    ASSERT_TRUE(archive && archive->ReadEntry(2));
    const payload::ZipEntryInfo* first = archive->ReadEntry(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name, "f0.txt");
    EXPECT_EQ(archive->ReadEntry(2)->name, "f2.txt");
}

TEST_F(ZipArchiveTest, CountingStopsAtTheEndAndReadingBeyondFails) {
    auto archive = Open(ziptest::NumberedFiles(5));
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->CountEntries(), 5);
    EXPECT_FALSE(archive->ReadEntry(5));
    EXPECT_FALSE(archive->ReadEntry(-1));
    EXPECT_EQ(archive->ReadEntry(4)->name, "f4.txt");
}

TEST_F(ZipArchiveTest, DataOfAnEntryReadAfterAnother) {
    auto archive = Open({ziptest::File("a", "alpha"), ziptest::File("b", "beta")});
    ASSERT_TRUE(archive);
    const payload::ZipEntryInfo b = *archive->ReadEntry(1);
    ASSERT_TRUE(archive->ReadEntry(0));
    std::string data;
    EXPECT_TRUE(archive->ReadData(b, [&](platform::Bytes chunk) {
        data.append(chunk.begin(), chunk.end());
        return true;
    }));
    EXPECT_EQ(data, "beta");
}

TEST_F(ZipArchiveTest, ASinkThatRefusesFailsTheRead) {
    auto archive = Open({ziptest::File("a", "alpha")});
    ASSERT_TRUE(archive);
    const payload::ZipEntryInfo a = *archive->ReadEntry(0);
    EXPECT_FALSE(archive->ReadData(a, [](platform::Bytes) { return false; }));
}

}  // namespace

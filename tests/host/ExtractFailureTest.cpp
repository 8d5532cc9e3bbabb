// Every way an extraction can fail or end early, each with a small archive made for it.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <functional>

#include "ExtractFixture.h"

namespace {

using ziptest::Field;
using ziptest::File;
using ziptest::LayoutOf;
using ziptest::MakeZip;
using ziptest::NumberedFiles;
using ziptest::Patch;
using Bytes = std::vector<uint8_t>;

struct FailureCase {
    const char* what;
    std::function<void(fake::FileSystemFake&)> setUp;  // puts the archive at C:\a.zip
    int32_t result;
    std::vector<int32_t> events;
    std::string target = "C:\\out";
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.what; }

void Put(fake::FileSystemFake& fs, const Bytes& zip) { fs.addFile("C:\\a.zip", std::string(zip.begin(), zip.end())); }

// An archive of `count` numbered files, changed by `change` before it is stored.
std::function<void(fake::FileSystemFake&)> Numbered(int count, std::function<void(Bytes&)> change = {}) {
    return [=](fake::FileSystemFake& fs) {
        Bytes zip = MakeZip(NumberedFiles(count));
        if (change) change(zip);
        Put(fs, zip);
    };
}

std::function<void(fake::FileSystemFake&)> Entries(std::vector<ziptest::Entry> entries,
                                                   std::function<void(fake::FileSystemFake&)> more = {}) {
    return [=](fake::FileSystemFake& fs) {
        Put(fs, MakeZip(entries));
        if (more) more(fs);
    };
}

void PatchLocal16(Bytes& zip, int entry, size_t field, uint32_t value) {
    ziptest::Put16(zip, LayoutOf(zip).local.at(static_cast<size_t>(entry)) + field, value);
}

class ExtractFailureTest : public ExtractFixture, public testing::WithParamInterface<FailureCase> {};

TEST_P(ExtractFailureTest, GivesItsResultAndEvents) {
    GetParam().setUp(fs);
    EXPECT_EQ(Extract(GetParam().target), GetParam().result);
    EXPECT_THAT(events, testing::ElementsAreArray(GetParam().events));
}

const std::vector<ziptest::Entry> Big = {File("a.txt", std::string(1000, 'a')), File("b.txt", std::string(1000, 'b'))};

INSTANTIATE_TEST_SUITE_P(Table, ExtractFailureTest, testing::Values(
    FailureCase{"nothing at the archive path", [](auto&) {}, -1, {0}},
    FailureCase{"target on a drive that does not exist", Numbered(2), 0, {0}, "Q:\\out"},
    FailureCase{"target below a file", Entries(NumberedFiles(1), [](auto& fs) { fs.addFile("C:\\plain", "x"); }), 0,
                {0}, "C:\\plain\\out"},
    FailureCase{"empty file", [](auto& fs) { fs.addFile("C:\\a.zip", ""); }, 0, {0}},
    FailureCase{"shorter than 32 bytes", [](auto& fs) { fs.addFile("C:\\a.zip", std::string("PK\3\4", 4) + "0123456789"); },
                0, {0}},
    FailureCase{"bytes in front of an intact archive",
                [](auto& fs) {
                    const Bytes zip = MakeZip(NumberedFiles(2));
                    std::string prefixed = "MZ";
                    prefixed.append(zip.begin(), zip.end());
                    fs.addFile("C:\\a.zip", prefixed);
                },
                0, {0}},
    FailureCase{"value at offset 24 is zero", Numbered(2, [](Bytes& z) { ziptest::Put16(z, 26, 0); }), 0, {0}},
    FailureCase{"value at offset 24 is negative", Numbered(2, [](Bytes& z) { ziptest::Put16(z, 26, 0x8000); }), 0, {0}},
    FailureCase{"archive cannot be opened (a directory)", [](auto& fs) { fs.addDirectory("C:\\a.zip"); }, 0, {0}},
    FailureCase{"end record not found",
                Numbered(2, [](Bytes& z) { ziptest::Put32(z, LayoutOf(z).endRecord, 0x12345678); }), 0, {0}},
    FailureCase{"first central record damaged",
                Numbered(2, [](Bytes& z) { ziptest::Put32(z, LayoutOf(z).central[0], 0); }), 0, {0}},
    FailureCase{"first bytes are not a local header", Numbered(3, [](Bytes& z) { ziptest::Put32(z, 0, 0x04034B50 + 1); }), 0,
                {0}},
    FailureCase{"entry 0 local method differs", Numbered(3, [](Bytes& z) { PatchLocal16(z, 0, 8, 0); }), 1, {0}},
    FailureCase{"entry 2 local header damaged",
                Numbered(4, [](Bytes& z) { ziptest::Put32(z, LayoutOf(z).local[2], 0); }), 1, {0, 50, 100}},
    FailureCase{"entry 1 local name length differs", Numbered(3, [](Bytes& z) { PatchLocal16(z, 1, 26, 7); }), 1,
                {0, 100}},
    FailureCase{"entry 1 local CRC differs",
                Numbered(3, [](Bytes& z) { ziptest::Put32(z, LayoutOf(z).local[1] + 14, 0xDEADBEEF); }), 1, {0, 100}},
    FailureCase{"entry 1 compressed with bzip2", Numbered(3, [](Bytes& z) { Patch(z, 1, Field::Method, 12); }), 1,
                {0, 100}},
    FailureCase{"entry 1 compressed with LZMA", Numbered(3, [](Bytes& z) { Patch(z, 1, Field::Method, 14); }), 1,
                {0, 100}},
    FailureCase{"central name of entry 2 runs past the end of the file",
                Numbered(4, [](Bytes& z) { ziptest::Put16(z, LayoutOf(z).central[2] + 28, 0xFFFF); }), 1,
                {0, 50, 100}},
    FailureCase{"end record claims 65535 entries",
                Numbered(3,
                         [](Bytes& z) {
                             const size_t end = LayoutOf(z).endRecord;
                             ziptest::Put16(z, end + 8, 0xFFFF);
                             ziptest::Put16(z, end + 10, 0xFFFF);
                         }),
                1, {0, 33, 66, 100}},
    FailureCase{"directory entry below a file", Entries({File("f.txt", "x"), ziptest::Directory("f.txt/sub/")}), 0,
                {0, 100}},
    FailureCase{"file in a folder without its directory entry", Entries({File("a.txt", "x"), File("sub/b.txt", "y")}),
                0, {0, 100}},
    FailureCase{"file held open elsewhere without sharing",
                Entries(NumberedFiles(3),
                        [](auto& fs) {
                            fs.addDirectory("C:\\out");
                            fs.addFile("C:\\out\\f1.txt", "old");
                            fs.find("C:\\out\\f1.txt")->heldOpen = true;
                        }),
                0, {0, 100}},
    FailureCase{"name ending in / without the directory bit", Entries({File("a.txt", "x"), File("d/", "")}), 0,
                {0, 100}},
    FailureCase{"disk full", Entries(Big, [](auto& fs) { fs.spaceLeft = 1500; }), 0, {0, 100}},
    FailureCase{"deflate data damaged",
                Numbered(3,
                         [](Bytes& z) {
                             const size_t data = LayoutOf(z).dataOf(z, 1);
                             z[data] = 0xFF;  // block type 3 does not exist
                         }),
                0, {0, 100}}));

using ExtractLeftoverTest = ExtractFixture;

TEST_F(ExtractLeftoverTest, FilesBeforeAFailureStayAndThePartialFileToo) {
    fs.spaceLeft = 1500;
    PutArchive(Big);
    EXPECT_EQ(Extract(), 0);
    EXPECT_EQ(ContentOf("C:\\out\\a.txt"), std::string(1000, 'a'));
    EXPECT_EQ(ContentOf("C:\\out\\b.txt"), std::string(500, 'b'));
    // The failed file keeps the attributes it was created with.
    EXPECT_EQ(fs.find("C:\\out\\b.txt")->attributes,
              platform::attr::Normal | platform::attr::Archive | platform::attr::ReadOnly);
}

TEST_F(ExtractLeftoverTest, EntriesAfterAnUnreadableOneAreNotExtracted) {
    Bytes zip = MakeZip(NumberedFiles(4));
    Patch(zip, 2, Field::Method, 12);
    PutArchive(zip);
    EXPECT_EQ(Extract(), 1);
    EXPECT_FALSE(wholeArchive) << "the entries left out went unnoticed";
    EXPECT_TRUE(fs.exists("C:\\out\\f1.txt"));
    EXPECT_FALSE(fs.exists("C:\\out\\f2.txt"));
    EXPECT_FALSE(fs.exists("C:\\out\\f3.txt"));
}

TEST_F(ExtractLeftoverTest, ExistingDirectoryIsLeftAsItIsAndStillReported) {
    fs.addDirectory("C:\\out");
    fs.addDirectory("C:\\out\\data");
    fs.addFile("C:\\out\\data\\keep.txt", "keep");
    PutArchive({ziptest::Directory("data/"), File("data/new.txt", "new")});
    EXPECT_EQ(Extract(), 1);
    EXPECT_THAT(events, testing::ElementsAre(0, 50, 100));
    EXPECT_EQ(ContentOf("C:\\out\\data\\keep.txt"), "keep");
}

}  // namespace

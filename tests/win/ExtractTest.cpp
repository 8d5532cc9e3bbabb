// The extraction component on real files under wine: replacement of existing files, attributes,
// times, files held open, double-byte and drive-root targets, hostile names, and the archive
// copy that the end handler deletes.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "payload/DosTime.h"
#include "payload/ZipExtractor.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32FileSystem.h"
#include "tests/host/ZipTestArchive.h"
#include "tests/win/ScratchDir.h"

namespace {

using platform::win32::ownFile;
using platform::win32::UniqueHandle;
using ziptest::File;

using ScratchDir = testing_support::ScratchDir;

// Everything below a folder, as paths relative to it.
void Collect(const std::string& root, const std::string& prefix, std::set<std::string>& into) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + "\\" + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        into.insert(prefix + name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Collect(root, prefix + name + "\\", into);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::set<std::string> Tree(const std::string& root) {
    std::set<std::string> paths;
    Collect(root, "", paths);
    return paths;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    UniqueHandle file = ownFile(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::optional<std::string> ReadText(const std::string& path) {
    UniqueHandle file = ownFile(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string text(65536, '\0');
    DWORD got = 0;
    if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr)) return std::nullopt;
    text.resize(got);
    return text;
}

// No read-only, hidden or system bit left; wine reports such a file as "archive".
bool IsPlain(DWORD attributes) {
    return attributes == FILE_ATTRIBUTE_NORMAL || attributes == FILE_ATTRIBUTE_ARCHIVE;
}

uint64_t Ticks(const FILETIME& ft) { return static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime; }

struct Times {
    uint64_t creation = 0, access = 0, write = 0;
};

Times TimesOf(const std::string& path) {
    UniqueHandle file = ownFile(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME c{}, a{}, w{};
    if (file) GetFileTime(file.get(), &c, &a, &w);
    return {Ticks(c), Ticks(a), Ticks(w)};
}

uint64_t SystemTicks(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME utc{year, month, 0, day, hour, minute, second, 0};
    FILETIME ft{};
    SystemTimeToFileTime(&utc, &ft);
    return Ticks(ft);
}

class ExtractOnDiskTest : public testing::Test {
protected:
    ScratchDir dir;
    platform::win32::Win32FileSystem fs;
    std::vector<int32_t> events;
    std::function<std::optional<bool>(int32_t)> answer;

    std::string PutArchive(const std::vector<ziptest::Entry>& entries) {
        const auto zip = ziptest::MakeZip(entries);
        const std::string path = dir / "a.zip";
        WriteBytes(path, std::string(zip.begin(), zip.end()));
        return path;
    }

    int32_t Extract(const std::string& archive, const std::string& target) {
        payload::ZipExtractor extractor(fs, [this](int32_t percent) -> std::optional<bool> {
            events.push_back(percent);
            return answer ? answer(percent) : std::nullopt;
        });
        return extractor.Extract(archive, target);
    }
};

TEST_F(ExtractOnDiskTest, PayloadShapedArchiveExtractsWithItsEvents) {
    auto entries = ziptest::NumberedFiles(7);
    entries.push_back(ziptest::Directory("data/"));
    entries.push_back(File("data/core.dat", "core"));
    const std::string archive = PutArchive(entries);
    EXPECT_EQ(Extract(archive, dir / "out"), 1);
    EXPECT_EQ(events, (std::vector<int32_t>{0, 11, 22, 33, 44, 55, 66, 77, 88, 100}));
    EXPECT_EQ(ReadText(dir / "out\\data\\core.dat"), "core");
    EXPECT_EQ(ReadText(dir / "out\\f6.txt"), "file 6");
}

TEST_F(ExtractOnDiskTest, MissingArchiveGivesMinusOne) {
    EXPECT_EQ(Extract(dir / "none.zip", dir / "out"), -1);
    EXPECT_EQ(events, std::vector<int32_t>{0});
}

class ExtractReplaceOnDiskTest : public ExtractOnDiskTest, public testing::WithParamInterface<DWORD> {};

TEST_P(ExtractReplaceOnDiskTest, ExistingFileIsReplacedAndEveryFileEndsPlain) {
    CreateDirectoryA((dir / "out").c_str(), nullptr);
    WriteBytes(dir / "out\\old.txt", "old content that is longer");
    ASSERT_TRUE(SetFileAttributesA((dir / "out\\old.txt").c_str(), GetParam()));
    ASSERT_EQ(GetFileAttributesA((dir / "out\\old.txt").c_str()) & GetParam(), GetParam());
    ziptest::Entry all = File("all.txt", "all bits");
    all.external = ziptest::DosReadOnly | ziptest::DosHidden | ziptest::DosSystem | ziptest::DosArchive;
    ziptest::Entry unixReadOnly = File("unix.txt", "r--r--r--");
    unixReadOnly.external = 0x81240000;
    const std::string archive = PutArchive({File("old.txt", "new"), all, unixReadOnly});
    EXPECT_EQ(Extract(archive, dir / "out"), 1);
    EXPECT_EQ(ReadText(dir / "out\\old.txt"), "new");
    for (const char* name : {"old.txt", "all.txt", "unix.txt"})
        EXPECT_TRUE(IsPlain(GetFileAttributesA((dir / "out\\" + name).c_str()))) << name;
}

INSTANTIATE_TEST_SUITE_P(Attributes, ExtractReplaceOnDiskTest,
                         testing::Values(FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                                         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

// Linux file systems keep no settable creation time, so wine shows the other two.
TEST_F(ExtractOnDiskTest, TimesComeFromTheDosFieldsTakenAsUtc) {
    ziptest::Entry entry = File("dos.txt", "d");
    entry.dosDateTime = ziptest::DosDateTime(2004, 2, 29, 23, 59, 58);
    EXPECT_EQ(Extract(PutArchive({entry}), dir / "out"), 1);
    FILETIME system{};
    ASSERT_TRUE(DosDateTimeToFileTime(static_cast<WORD>(entry.dosDateTime >> 16),
                                      static_cast<WORD>(entry.dosDateTime & 0xFFFF), &system));
    const Times times = TimesOf(dir / "out\\dos.txt");
    EXPECT_EQ(times.write, Ticks(system));
    EXPECT_EQ(times.access, Ticks(system));
    EXPECT_EQ(times.write, SystemTicks(2004, 2, 29, 23, 59, 58));
}

TEST_F(ExtractOnDiskTest, TimesComeFromTheUtRecord) {
    ziptest::Entry entry = File("ut.txt", "u");
    entry.localExtra = ziptest::UtRecord(7, {1000000000, -86400, 1200000000});
    EXPECT_EQ(Extract(PutArchive({entry}), dir / "out"), 1);
    const Times times = TimesOf(dir / "out\\ut.txt");
    EXPECT_EQ(times.write, SystemTicks(2001, 9, 9, 1, 46, 40));
    EXPECT_EQ(times.access, SystemTicks(1969, 12, 31, 0, 0, 0));
}

TEST_F(ExtractOnDiskTest, InvalidDosStampLeavesTheTimeOfWriting) {
    ziptest::Entry entry = File("bad.txt", "b");
    entry.dosDateTime = ziptest::DosDateTime(2000, 13, 40, 25, 61, 0);
    FILETIME before{}, after{};
    GetSystemTimeAsFileTime(&before);
    EXPECT_EQ(Extract(PutArchive({entry}), dir / "out"), 1);
    GetSystemTimeAsFileTime(&after);
    const uint64_t write = TimesOf(dir / "out\\bad.txt").write, second = 10000000;
    EXPECT_GE(write + 2 * second, Ticks(before));
    EXPECT_LE(write, Ticks(after) + 2 * second);
}

TEST_F(ExtractOnDiskTest, FileHeldOpenWithoutSharingFailsAfterTheEarlierEvents) {
    CreateDirectoryA((dir / "out").c_str(), nullptr);
    WriteBytes(dir / "out\\f2.txt", "busy");
    UniqueHandle busy = ownFile(CreateFileA((dir / "out\\f2.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(busy);
    EXPECT_EQ(Extract(PutArchive(ziptest::NumberedFiles(3)), dir / "out"), 0);
    EXPECT_EQ(events, (std::vector<int32_t>{0, 33, 100}));
    EXPECT_EQ(ReadText(dir / "out\\f1.txt"), "file 1");
}

// 0x81 0x5C is one GBK character whose second byte is "\".
TEST_F(ExtractOnDiskTest, TargetWithADoubleByteCharacterEndingIn5C) {
    const std::string target = dir / "\x81\x5C\\d\x81\x5C";
    EXPECT_EQ(Extract(PutArchive({File("a.txt", "x")}), target), 1);
    EXPECT_EQ(Tree(dir.path), (std::set<std::string>{"a.zip", "\x81\x5C", "\x81\x5C\\d\x81\x5C",
                                                      "\x81\x5C\\d\x81\x5C\\a.txt"}));
}

// The root of drive C: of the test's own wine prefix, with names of this run only.
TEST_F(ExtractOnDiskTest, DriveRootAsTarget) {
    const std::string unique = "extract-root-" + std::to_string(GetCurrentProcessId());
    const std::string archive =
        PutArchive({ziptest::Directory(unique + "/"), File(unique + "/a.txt", "x"), File(unique + ".txt", "y")});
    EXPECT_EQ(Extract(archive, "C:\\"), 1);
    EXPECT_EQ(ReadText("C:\\" + unique + "\\a.txt"), "x");
    EXPECT_EQ(ReadText("C:\\" + unique + ".txt"), "y");
    ScratchDir::Remove("C:\\" + unique);
    DeleteFileA(("C:\\" + unique + ".txt").c_str());
}

TEST_F(ExtractOnDiskTest, EndHandlerCanDeleteTheArchiveCopyThatNobodyCanWrite) {
    const std::string archive = PutArchive(ziptest::NumberedFiles(2));
    bool writable = true, deleted = false;
    answer = [&](int32_t percent) -> std::optional<bool> {
        if (percent == 0) {
            writable = static_cast<bool>(ownFile(CreateFileA(archive.c_str(), GENERIC_WRITE,
                                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                             nullptr, OPEN_EXISTING, 0, nullptr)));
        }
        if (percent == 100) deleted = DeleteFileA(archive.c_str()) != FALSE;
        return std::nullopt;
    };
    EXPECT_EQ(Extract(archive, dir / "out"), 1);
    EXPECT_FALSE(writable);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(GetFileAttributesA(archive.c_str()), INVALID_FILE_ATTRIBUTES);
}

class ExtractHostileOnDiskTest : public ExtractOnDiskTest, public testing::WithParamInterface<std::string> {};

TEST_P(ExtractHostileOnDiskTest, NothingLandsOutsideTheTarget) {
    const std::string& name = GetParam();
    CreateDirectoryA((dir / "base").c_str(), nullptr);
    CreateDirectoryA((dir / "cwd").c_str(), nullptr);
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA((dir / "cwd").c_str());
    ziptest::Entry hostile = File(name, "evil");
    if (name.back() == '/' || name.back() == '\\') hostile = ziptest::Directory(name);
    const std::string archive = PutArchive({File("good.txt", "good"), hostile, File("after.txt", "after")});
    const int32_t result = Extract(archive, dir / "base\\target");
    SetCurrentDirectoryA(saved);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(events, (std::vector<int32_t>{0, 100}));
    EXPECT_EQ(Tree(dir.path), (std::set<std::string>{"a.zip", "base", "base\\target", "base\\target\\good.txt", "cwd"}));
    for (const std::string& outside : {std::string("C:\\evil-root.txt"), dir.parent + "evil.txt"}) {
        EXPECT_EQ(GetFileAttributesA(outside.c_str()), INVALID_FILE_ATTRIBUTES) << outside;
        DeleteFileA(outside.c_str());
    }
}

INSTANTIATE_TEST_SUITE_P(Names, ExtractHostileOnDiskTest, testing::Values(
    "../evil.txt", "../../evil.txt", "../../../evil.txt", "..\\..\\evil.txt", "sub/../../evil.txt", "..\\..\\evildir\\",
    "/evil-root.txt", "\\evil-root.txt", "C:evil.txt", "C:\\evil-root.txt", "C:/evil-root.txt",
    "\\\\?\\C:\\evil-root.txt", "\\\\.\\C:\\evil-root.txt", "good.txt:evil", "CON", "NUL.txt", "evil.txt.",
    "evil.txt ", "a//evil.txt"));

}  // namespace

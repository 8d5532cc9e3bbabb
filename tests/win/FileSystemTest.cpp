// platform::win32::Win32FileSystem on real files: creation, sharing, deletion while open,
// attributes, times, devices and the ANSI code page.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32FileSystem.h"
#include "tests/win/ScratchDir.h"

namespace {

using platform::win32::ownFile;
using platform::win32::UniqueHandle;

using ScratchDir = testing_support::ScratchDir;

void WriteText(const std::string& path, const std::string& text) {
    UniqueHandle file = ownFile(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}

std::string ReadText(const std::string& path) {
    UniqueHandle file = ownFile(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char buffer[4096];
    DWORD got = 0;
    if (!file || !ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return "<unreadable>";
    return std::string(buffer, got);
}

platform::Bytes BytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// A file without read-only, hidden or system bit; wine reports such a file as "archive".
bool IsPlain(DWORD attributes) {
    return attributes == FILE_ATTRIBUTE_NORMAL || attributes == FILE_ATTRIBUTE_ARCHIVE;
}

uint64_t Ticks(const FILETIME& ft) { return static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime; }

class Win32FileSystemTest : public testing::Test {
protected:
    ScratchDir dir;
    platform::win32::Win32FileSystem fs;
};

TEST_F(Win32FileSystemTest, ExistsForFilesAndDirectoriesOnly) {
    WriteText(dir / "file", "x");
    EXPECT_TRUE(fs.exists(dir.path));
    EXPECT_TRUE(fs.exists(dir.path + "\\"));
    EXPECT_TRUE(fs.exists(dir / "file"));
    EXPECT_FALSE(fs.exists(dir / "missing"));
    EXPECT_FALSE(fs.exists(""));
}

TEST_F(Win32FileSystemTest, CreateDirectoryNeedsItsParent) {
    EXPECT_FALSE(fs.createDirectory(dir / "a\\b"));
    EXPECT_TRUE(fs.createDirectory(dir / "a\\"));
    EXPECT_FALSE(fs.createDirectory(dir / "a")) << "it exists already";
    EXPECT_TRUE(fs.createDirectory(dir / "a\\b"));
}

TEST_F(Win32FileSystemTest, CreatedFileReplacesTheOldOneAndIsNotShared) {
    WriteText(dir / "f", "old and longer");
    auto file = fs.createFile(dir / "f", FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->write(BytesOf("new")));
    UniqueHandle other = ownFile(CreateFileA((dir / "f").c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(other);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    file.reset();
    EXPECT_EQ(ReadText(dir / "f"), "new");
}

TEST_F(Win32FileSystemTest, NewFileHasTheGivenAttributesAndIsWritableThroughItsHandle) {
    auto file = fs.createFile(dir / "ro", FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->write(BytesOf("data")));
    file.reset();
    EXPECT_EQ(GetFileAttributesA((dir / "ro").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(ReadText(dir / "ro"), "data");
    EXPECT_TRUE(fs.setAttributes(dir / "ro", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(IsPlain(GetFileAttributesA((dir / "ro").c_str())));
}

TEST_F(Win32FileSystemTest, ReadingAtOffsetsUpToTheEnd) {
    WriteText(dir / "r", "0123456789");
    auto file = fs.openForReading(dir / "r");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size(), 10u);
    uint8_t buffer[4] = {};
    EXPECT_EQ(file->readAt(3, buffer), 4u);
    EXPECT_EQ(std::string(buffer, buffer + 4), "3456");
    EXPECT_EQ(file->readAt(8, buffer), 2u);
    EXPECT_EQ(file->readAt(50, buffer), 0u);
    EXPECT_FALSE(fs.openForReading(dir / "missing"));
    EXPECT_FALSE(fs.openForReading(dir.path)) << "a directory is no archive";
}

TEST_F(Win32FileSystemTest, OpenArchiveMayBeReadAndDeletedButNotWritten) {
    WriteText(dir / "a.zip", "archive");
    auto file = fs.openForReading(dir / "a.zip");
    ASSERT_TRUE(file);
    UniqueHandle reader = ownFile(CreateFileA((dir / "a.zip").c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(reader);
    reader.reset();
    UniqueHandle writer = ownFile(CreateFileA((dir / "a.zip").c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer);
    EXPECT_TRUE(DeleteFileA((dir / "a.zip").c_str()));
    uint8_t buffer[7];
    EXPECT_EQ(file->readAt(0, buffer), 7u) << "still readable after the deletion was asked for";
    file.reset();
    EXPECT_EQ(GetFileAttributesA((dir / "a.zip").c_str()), INVALID_FILE_ATTRIBUTES) << "gone with the last handle";
}

TEST_F(Win32FileSystemTest, ADeviceIsNotADiskFile) {
    auto device = fs.createFile("NUL", FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(device);
    EXPECT_FALSE(device->isDiskFile());
    auto file = fs.createFile(dir / "disk", FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->isDiskFile());
}

// Linux file systems keep no settable creation time, so wine checks the other two.
TEST_F(Win32FileSystemTest, TimesAreSetExactlyAndZeroLeavesATimeAlone) {
    auto file = fs.createFile(dir / "t", FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(file);
    const platform::FileTime access{125963012960000000}, write{132682340960000000}, later{132682340990000000};
    EXPECT_TRUE(file->setTimes(access, access, write));
    EXPECT_TRUE(file->setTimes({}, {}, later));
    file.reset();
    UniqueHandle handle = ownFile(CreateFileA((dir / "t").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME c, a, w;
    ASSERT_TRUE(GetFileTime(handle.get(), &c, &a, &w));
    EXPECT_EQ(Ticks(a), access.ticks);
    EXPECT_EQ(Ticks(w), later.ticks);
}

TEST_F(Win32FileSystemTest, LeadBytesFollowTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 936u) << "the tests run with the GBK code page";
    EXPECT_TRUE(fs.isDbcsLeadByte(0x81));
    EXPECT_TRUE(fs.isDbcsLeadByte(0xFE));
    EXPECT_FALSE(fs.isDbcsLeadByte('\\'));
    EXPECT_FALSE(fs.isDbcsLeadByte('a'));
}

TEST_F(Win32FileSystemTest, CurrentDirectoryIsTheProcessOne) {
    char current[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(fs.currentDirectory(), std::string(current, length));
}

}  // namespace

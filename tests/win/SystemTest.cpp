// The real operating-system services behind the installer logic, on real files and objects.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/win32/Win32System.h"
#include "tests/win/ScratchDir.h"

namespace {

using platform::win32::Win32System;
using testing_support::ScratchDir;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

platform::Bytes BytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

class ComApartment {
public:
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
};

TEST(Win32System, WriteFileReplacesTheWholeContent) {
    ScratchDir dir("system-test");
    Win32System system;
    const std::string path = dir / "tool.zip";
    ASSERT_TRUE(system.writeFile(path, BytesOf(std::string(1000, 'x'))));
    ASSERT_TRUE(system.writeFile(path, BytesOf("PK\x03\x04")));
    EXPECT_EQ(ReadAll(path), "PK\x03\x04");
}

TEST(Win32System, WriteFileFailsWhereNoFileCanBe) {
    ScratchDir dir("system-test");
    Win32System system;
    CreateDirectoryA((dir / "tool.zip").c_str(), nullptr);
    EXPECT_FALSE(system.writeFile(dir / "tool.zip", BytesOf("data"))) << "a folder stands there";
    EXPECT_FALSE(system.writeFile("", BytesOf("data")));
    EXPECT_FALSE(system.writeFile(dir / "missing\\tool.zip", BytesOf("data")));
}

TEST(Win32System, WriteFileFailsWhileAnotherHolderKeepsTheFile) {
    ScratchDir dir("system-test");
    Win32System system;
    const std::string path = dir / "tool.zip";
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(system.writeFile(path, BytesOf("data")));
    CloseHandle(held);
    EXPECT_TRUE(system.writeFile(path, BytesOf("data")));
    EXPECT_TRUE(system.deleteFile(path));
    EXPECT_FALSE(system.deleteFile(path)) << "a missing file cannot be deleted";
}

TEST(Win32System, FoldersEndInABackslash) {
    Win32System system;
    std::string temp = system.tempDirectory();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    std::string desktop = system.desktopDirectory();
    ASSERT_FALSE(desktop.empty());
    EXPECT_EQ(desktop.back(), '\\');
    EXPECT_NE(GetFileAttributesA(desktop.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32System, DiskFreeSpaceFillsTheCallersValuesOnlyOnSuccess) {
    Win32System system;
    int64_t caller = 0, total = 0, free = 0;
    ASSERT_TRUE(system.diskFreeSpace("c:", caller, total, free));
    EXPECT_GT(total, 0);
    EXPECT_LE(free, total);
    int64_t keptCaller = 7, keptTotal = 8, keptFree = 9;
    EXPECT_FALSE(system.diskFreeSpace("q:", keptCaller, keptTotal, keptFree)) << "drive Q: should not exist";
    EXPECT_EQ(keptFree, 9);
}

TEST(Win32System, ProcessNamesIncludeThisProgram) {
    Win32System system;
    auto names = system.processNames();
    ASSERT_TRUE(names);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string name = strrchr(self, '\\') + 1;
    bool found = false;
    for (const auto& n : *names) found = found || _stricmp(n.c_str(), name.c_str()) == 0;
    EXPECT_TRUE(found) << name << " is not among " << names->size() << " processes";
}

TEST(Win32System, ShortcutReadsBackWithItsTargetAndShowCommand) {
    ScratchDir dir("system-test");
    ComApartment com;
    Win32System system;
    const std::string target = "D:\\Tovrask软件\\Quorvane\\Quorvane.exe";
    ASSERT_TRUE(system.createShortcut(dir / "Quorvane", target));
    const std::string link = dir / "Quorvane.lnk";
    ASSERT_NE(GetFileAttributesA(link.c_str()), INVALID_FILE_ATTRIBUTES) << "no .lnk file";

    IShellLinkA* shellLink = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(&shellLink))));
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    ASSERT_TRUE(SUCCEEDED(file->Load(wide, STGM_READ)));
    char path[MAX_PATH] = {};
    shellLink->GetPath(path, MAX_PATH, nullptr, 0);
    file->Release();
    shellLink->Release();
    EXPECT_STREQ(path, target.c_str());
    // The show command is read from the file's header: wine's loader does not give it back.
    const std::string bytes = ReadAll(link);
    ASSERT_GE(bytes.size(), 0x40u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0x3C]), SW_SHOW);
}

TEST(Win32System, ShortcutInAMissingFolderFails) {
    ComApartment com;
    Win32System system;
    EXPECT_FALSE(system.createShortcut("C:\\no\\such\\folder\\Quorvane", "C:\\x.exe"));
}

TEST(Win32System, RunProgramStartsAndMissingProgramsFail) {
    Win32System system;
    EXPECT_FALSE(system.runProgram("C:\\no\\such\\program.exe"));
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    // This test binary with a filter that matches nothing starts and ends at once.
    EXPECT_TRUE(system.runProgram(std::string("\"") + self + "\" --gtest_filter=NoSuchTest"));
}

}  // namespace

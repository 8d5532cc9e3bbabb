// What the toolkit does for start-up before any window exists.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/Win32Toolkit.h"

namespace {

TEST(ToolkitStart, MakesTheProgramsFolderCurrentAndOleReadyOnThisThread) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    ASSERT_TRUE(SetCurrentDirectoryA(temp));

    platform::win32::Win32Toolkit toolkit;

    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    *std::strrchr(program, '\\') = '\0';
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(_stricmp(current, program), 0) << current << " vs " << program;

    // A second initialisation of the same apartment reports that it was already there.
    HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(again, S_FALSE);
    if (SUCCEEDED(again)) CoUninitialize();
}

}  // namespace

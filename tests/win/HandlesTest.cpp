#include "platform/win32/Handles.h"

#include <gtest/gtest.h>

namespace {

using platform::win32::UniqueHandle;

TEST(Win32Handles, ClosingTheOwnerClosesTheKernelObject) {
    HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    HANDLE duplicate = nullptr;
    {
        UniqueHandle owner(raw);
        UniqueHandle moved(std::move(owner));
        EXPECT_FALSE(owner);
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), moved.get(), GetCurrentProcess(), &duplicate,
                                    0, FALSE, DUPLICATE_SAME_ACCESS));
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags)) << "the owner left the handle open";
    CloseHandle(duplicate);
}

TEST(Win32Handles, InvalidFileHandleBecomesEmpty) {
    auto file = platform::win32::ownFile(
        CreateFileA("Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file);
}

}  // namespace

#include "platform/win32/Win32System.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <memory>

#include "platform/win32/Handles.h"

namespace platform::win32 {

namespace {

MessageResult toResult(int id) {
    switch (id) {
        case IDCANCEL: return MessageResult::Cancel;
        case IDABORT: return MessageResult::Abort;
        case IDRETRY: return MessageResult::Retry;
        case IDIGNORE: return MessageResult::Ignore;
        case IDYES: return MessageResult::Yes;
        case IDNO: return MessageResult::No;
        default: return MessageResult::Ok;
    }
}

DWORD WINAPI threadEntry(LPVOID parameter) {
    std::unique_ptr<std::function<void()>> routine(static_cast<std::function<void()>*>(parameter));
    (*routine)();
    return 0;
}

template <typename T>
struct ReleaseCom {
    void operator()(T* p) const { p->Release(); }
};
template <typename T>
using ComPtr = Unique<T*, ReleaseCom<T>>;

struct FreeItemList {
    void operator()(LPITEMIDLIST p) const { CoTaskMemFree(p); }
};
using UniqueItemList = Unique<LPITEMIDLIST, FreeItemList>;

std::wstring widen(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    return wide;
}

}  // namespace

MessageResult Win32System::messageBox(const std::string& text, unsigned flags, const std::string& title) {
    if (!(flags & MB_SYSTEMMODAL)) flags |= MB_TASKMODAL;
    const char* caption = title.empty() ? "信息：" : title.c_str();
    return toResult(MessageBoxA(nullptr, text.c_str(), caption, flags));
}

void Win32System::fatalExit(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), "错误", MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(static_cast<UINT>(-1));
}

bool Win32System::diskFreeSpace(const std::string& directory, int64_t& freeToCaller, int64_t& totalBytes,
                                int64_t& totalFree) {
    ULARGE_INTEGER caller, total, free;
    caller.QuadPart = static_cast<ULONGLONG>(freeToCaller);
    total.QuadPart = static_cast<ULONGLONG>(totalBytes);
    free.QuadPart = static_cast<ULONGLONG>(totalFree);
    BOOL ok = GetDiskFreeSpaceExA(directory.c_str(), &caller, &total, &free);
    freeToCaller = static_cast<int64_t>(caller.QuadPart);
    totalBytes = static_cast<int64_t>(total.QuadPart);
    totalFree = static_cast<int64_t>(free.QuadPart);
    return ok != FALSE;
}

std::string Win32System::tempDirectory() {
    char buffer[MAX_PATH + 1] = {};
    DWORD n = GetTempPathA(sizeof buffer, buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

bool Win32System::writeFile(const std::string& path, Bytes bytes) {
    if (path.empty()) return false;
    UniqueHandle file = ownFile(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return ok && written == bytes.size();
}

bool Win32System::deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool Win32System::startThread(std::function<void()> routine) {
    auto* parameter = new std::function<void()>(std::move(routine));
    UniqueHandle thread(CreateThread(nullptr, 0, threadEntry, parameter, 0, nullptr));
    if (!thread) delete parameter;
    return static_cast<bool>(thread);
}

bool Win32System::comInitialize() { return SUCCEEDED(CoInitialize(nullptr)); }

void Win32System::comUninitialize() { CoUninitialize(); }

std::optional<std::vector<std::string>> Win32System::processNames() {
    UniqueHandle snapshot = ownFile(CreateToolhelp32Snapshot(15, 0));
    if (!snapshot) return std::nullopt;
    std::vector<std::string> names;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
        names.emplace_back(entry.szExeFile, strnlen(entry.szExeFile, sizeof entry.szExeFile));
    }
    return names;
}

bool Win32System::runProgram(const std::string& path) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    std::string commandLine = path;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    UniqueHandle process(info.hProcess), thread(info.hThread);
    WaitForInputIdle(process.get(), 1000);
    return true;
}

std::string Win32System::desktopDirectory() {
    char buffer[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_DESKTOPDIRECTORY, FALSE)) return {};
    std::string dir = buffer;
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir;
}

bool Win32System::createShortcut(const std::string& name, const std::string& target) {
    IShellLinkA* rawLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&rawLink))))
        return false;
    ComPtr<IShellLinkA> link(rawLink);
    link.get()->SetPath(target.c_str());
    link.get()->SetShowCmd(SW_SHOW);
    IPersistFile* rawFile = nullptr;
    if (FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) return false;
    ComPtr<IPersistFile> file(rawFile);
    return SUCCEEDED(file.get()->Save(widen(name + ".lnk").c_str(), TRUE));
}

FolderBrowseResult Win32System::browseForFolder(WindowId owner, const std::string& title) {
    HWND ownerWindow = static_cast<HWND>(owner.value);
    LPITEMIDLIST rawRoot = nullptr;
    SHGetFolderLocation(ownerWindow, CSIDL_DESKTOP, nullptr, 0, &rawRoot);
    UniqueItemList root(rawRoot);

    std::string displayName(260, ' ');
    std::string titleCopy = title;
    BROWSEINFOA info{};
    info.hwndOwner = ownerWindow;
    info.pidlRoot = root.get();
    info.pszDisplayName = displayName.data();
    info.lpszTitle = titleCopy.c_str();
    info.ulFlags = 0x77;
    UniqueItemList chosen(SHBrowseForFolderA(&info));

    FolderBrowseResult result;
    result.hasItem = static_cast<bool>(chosen);
    result.displayName = displayName.c_str();
    if (chosen) {
        std::string path(260, ' ');
        if (SHGetPathFromIDListA(chosen.get(), path.data())) result.path = std::string(path.c_str());
    }
    return result;
}

}  // namespace platform::win32

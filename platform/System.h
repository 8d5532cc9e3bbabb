#pragma once
// The operating-system services that the installer logic calls, in plain C++ types.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace platform {

// What the system's folder browser gave back, before any of the logic's rules apply.
struct FolderBrowseResult {
    bool hasItem = false;                // the browser returned an item list
    std::string displayName;             // the display-name buffer up to its first zero byte
    std::optional<std::string> path;     // SHGetPathFromIDListA's text, empty when it failed
};

class System {
public:
    virtual ~System() = default;

    // Shown without an owner; the title, flags and result follow the installer's conventions
    // (empty title: "信息："; task-modal unless system-modal is asked for).
    virtual MessageResult messageBox(const std::string& text, unsigned flags,
                                     const std::string& title) = 0;
    // Error box "错误" with the given text, then exit code -1 without the exit cleanup.
    virtual void fatalExit(const std::string& text) = 0;

    // GetDiskFreeSpaceExA: bytes free to the caller, total bytes, total free bytes.
    virtual bool diskFreeSpace(const std::string& directory, int64_t& freeToCaller,
                               int64_t& totalBytes, int64_t& totalFree) = 0;

    virtual std::string tempDirectory() = 0;  // as GetTempPathA reports it
    // Creates or empties the file, no sharing, writes all bytes in one write, closes it.
    virtual bool writeFile(const std::string& path, Bytes bytes) = 0;
    virtual bool deleteFile(const std::string& path) = 0;

    // Starts a thread; its handle is closed at once and it is never joined.
    virtual bool startThread(std::function<void()> routine) = 0;
    virtual bool comInitialize() = 0;  // single-threaded apartment for the calling thread
    virtual void comUninitialize() = 0;

    // Executable file names of the running processes; empty when no snapshot can be had.
    virtual std::optional<std::vector<std::string>> processNames() = 0;
    // CreateProcessA with the path as command line, a normal window, WaitForInputIdle 1000 ms.
    virtual bool runProgram(const std::string& path) = 0;

    // The desktop directory with a trailing backslash, or empty.
    virtual std::string desktopDirectory() = 0;
    // A shell link `name` + ".lnk" to `target`, show command SW_SHOW.
    virtual bool createShortcut(const std::string& name, const std::string& target) = 0;

    // The folder browser, modal to `owner`, rooted at the desktop, flags 0x77.
    virtual FolderBrowseResult browseForFolder(WindowId owner, const std::string& title) = 0;
};

}  // namespace platform

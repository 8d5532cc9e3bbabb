#pragma once
// The real operating-system services behind platform::System.
#include "platform/System.h"

namespace platform::win32 {

class Win32System : public System {
public:
    MessageResult messageBox(const std::string& text, unsigned flags, const std::string& title) override;
    void fatalExit(const std::string& text) override;
    bool diskFreeSpace(const std::string& directory, int64_t& freeToCaller, int64_t& totalBytes,
                       int64_t& totalFree) override;
    std::string tempDirectory() override;
    bool writeFile(const std::string& path, Bytes bytes) override;
    bool deleteFile(const std::string& path) override;
    bool startThread(std::function<void()> routine) override;
    bool comInitialize() override;
    void comUninitialize() override;
    std::optional<std::vector<std::string>> processNames() override;
    bool runProgram(const std::string& path) override;
    std::string desktopDirectory() override;
    bool createShortcut(const std::string& name, const std::string& target) override;
    FolderBrowseResult browseForFolder(WindowId owner, const std::string& title) override;
};

}  // namespace platform::win32

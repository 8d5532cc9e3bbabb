#pragma once
// The real file operations behind platform::FileSystem, over the ANSI Win32 file API.
#include "platform/FileSystem.h"

namespace platform::win32 {

class Win32FileSystem : public FileSystem {
public:
    bool exists(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    bool setAttributes(const std::string& path, uint32_t attributes) override;
    std::unique_ptr<OutputFile> createFile(const std::string& path, uint32_t attributes) override;
    std::unique_ptr<InputFile> openForReading(const std::string& path) override;
    bool isDbcsLeadByte(uint8_t byte) const override;
    std::string currentDirectory() override;
};

}  // namespace platform::win32

#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include "platform/win32/Handles.h"

namespace platform::win32 {

namespace {

FILETIME toFiletime(FileTime time) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(time.ticks & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(time.ticks >> 32);
    return ft;
}

class Win32OutputFile : public OutputFile {
public:
    explicit Win32OutputFile(UniqueHandle handle) : handle_(std::move(handle)) {}

    bool write(Bytes bytes) override {
        while (!bytes.empty()) {
            DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
            DWORD written = 0;
            if (!WriteFile(handle_.get(), bytes.data(), chunk, &written, nullptr) || written == 0) return false;
            bytes = bytes.subspan(written);
        }
        return true;
    }

    bool isDiskFile() const override { return GetFileType(handle_.get()) == FILE_TYPE_DISK; }

    bool setTimes(FileTime creation, FileTime access, FileTime write) override {
        FILETIME c = toFiletime(creation), a = toFiletime(access), w = toFiletime(write);
        return SetFileTime(handle_.get(), creation.ticks ? &c : nullptr, access.ticks ? &a : nullptr,
                           write.ticks ? &w : nullptr) != FALSE;
    }

private:
    UniqueHandle handle_;
};

class Win32InputFile : public InputFile {
public:
    explicit Win32InputFile(UniqueHandle handle) : handle_(std::move(handle)) {}

    std::optional<uint64_t> size() override {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(handle_.get(), &size)) return std::nullopt;
        return static_cast<uint64_t>(size.QuadPart);
    }

    std::optional<size_t> readAt(uint64_t offset, std::span<uint8_t> buffer) override {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        if (offset > static_cast<uint64_t>(INT64_MAX) ||
            !SetFilePointerEx(handle_.get(), position, nullptr, FILE_BEGIN))
            return std::nullopt;
        size_t done = 0;
        while (done < buffer.size()) {
            size_t left = buffer.size() - done;
            DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
            DWORD got = 0;
            if (!ReadFile(handle_.get(), buffer.data() + done, chunk, &got, nullptr)) return std::nullopt;
            if (got == 0) break;  // end of the file
            done += got;
        }
        return done;
    }

private:
    UniqueHandle handle_;
};

}  // namespace

bool Win32FileSystem::exists(const std::string& path) {
    return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::createDirectory(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::setAttributes(const std::string& path, uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

std::unique_ptr<OutputFile> Win32FileSystem::createFile(const std::string& path, uint32_t attributes) {
    UniqueHandle handle = ownFile(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    if (!handle) return nullptr;
    return std::make_unique<Win32OutputFile>(std::move(handle));
}

std::unique_ptr<InputFile> Win32FileSystem::openForReading(const std::string& path) {
    // Delete sharing lets the installer remove its archive copy while the extraction still
    // holds it: the name goes when the last handle closes.
    UniqueHandle handle = ownFile(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return nullptr;
    return std::make_unique<Win32InputFile>(std::move(handle));
}

bool Win32FileSystem::isDbcsLeadByte(uint8_t byte) const { return IsDBCSLeadByte(byte) != FALSE; }

std::string Win32FileSystem::currentDirectory() {
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return {};
    std::string directory(needed, '\0');
    DWORD length = GetCurrentDirectoryA(needed, directory.data());
    directory.resize(length < needed ? length : 0);
    return directory;
}

}  // namespace platform::win32

#pragma once
// An in-memory file system with the Windows rules the extraction meets: drive letters, a current
// directory, "." and "..", separators "\" and "/", GBK double-byte characters, CREATE_ALWAYS
// refusing read-only files and hidden or system files asked to lose those bits, files held open
// without sharing, devices that are not disk files, a disk that fills up.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace fake {

struct FakeNode {
    bool directory = false;
    uint32_t attributes = platform::attr::Normal;
    std::string data;
    uint64_t size = 0;  // bytes written, also when the data is not kept
    platform::FileTime creation, access, write;
    bool heldOpen = false;  // open elsewhere without sharing
    bool device = false;    // a device that has a name, not a disk file
};

class FileSystemFake : public platform::FileSystem {
public:
    std::map<std::string, FakeNode> nodes;  // by canonical path
    std::string cwd = "C:\\work";
    bool keepData = true;
    std::optional<uint64_t> spaceLeft;  // bytes that still fit on the disk; empty: no limit
    std::vector<std::string> createdDirectories, createdFiles;  // the paths as they were asked for
    std::vector<size_t> writeSizes;
    int reads = 0;  // reads of files opened for reading

    FileSystemFake() {
        addDirectory("C:\\");
        addDirectory("C:\\work");
        addDirectory("D:\\");
    }

    void addDirectory(std::string_view path) {
        FakeNode node;
        node.directory = true;
        node.attributes = platform::attr::Directory;
        nodes[canonical(path)] = node;
    }
    void addFile(std::string_view path, std::string data, uint32_t attributes = platform::attr::Normal) {
        FakeNode node;
        node.attributes = attributes;
        node.size = data.size();
        node.data = std::move(data);
        nodes[canonical(path)] = std::move(node);
    }
    FakeNode* find(std::string_view path) {
        auto it = nodes.find(canonical(path));
        return it == nodes.end() ? nullptr : &it->second;
    }

    // Absolute, separators made "\", "." and ".." resolved, no trailing "\" except at a root.
    std::string canonical(std::string_view path) const {
        if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) return "\\\\" + std::string(path.substr(2));
        std::string absolute;
        if (path.size() >= 2 && path[1] == ':') {
            const std::string drive(path.substr(0, 2));
            const std::string_view rest = path.substr(2);
            const bool relative = rest.empty() || !isSeparator(rest[0]);
            absolute = relative ? (sameDrive(drive) ? cwd : drive) + "\\" + std::string(rest) : drive + std::string(rest);
        } else if (!path.empty() && isSeparator(path[0])) {
            absolute = cwd.substr(0, 2) + std::string(path);
        } else {
            absolute = cwd + "\\" + std::string(path);
        }
        return normalise(absolute);
    }

    bool exists(const std::string& path) override { return !path.empty() && find(path); }

    bool createDirectory(const std::string& path) override {
        createdDirectories.push_back(path);
        const std::string key = canonical(path);
        if (key.starts_with("\\\\") || nodes.count(key) || !parentIsDirectory(key)) return false;
        addDirectory(key);
        return true;
    }

    bool setAttributes(const std::string& path, uint32_t attributes) override {
        FakeNode* node = find(path);
        if (!node) return false;
        node->attributes = node->directory ? (attributes | platform::attr::Directory) : attributes;
        return true;
    }

    std::unique_ptr<platform::OutputFile> createFile(const std::string& path, uint32_t attributes) override;
    std::unique_ptr<platform::InputFile> openForReading(const std::string& path) override;

    bool isDbcsLeadByte(uint8_t byte) const override { return byte >= 0x81 && byte <= 0xFE; }
    std::string currentDirectory() override { return cwd; }

private:
    static bool isSeparator(char c) { return c == '\\' || c == '/'; }

    bool sameDrive(const std::string& drive) const {
        return drive.size() == 2 && (drive[0] | 0x20) == (cwd[0] | 0x20) && drive[1] == ':';
    }

    std::string normalise(const std::string& absolute) const {
        std::string drive = absolute.substr(0, 2);
        drive[0] = static_cast<char>(drive[0] & ~0x20);
        std::vector<std::string> parts;
        std::string part;
        auto close = [&] {
            if (part == "..") {
                if (!parts.empty()) parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
        };
        for (size_t at = 2; at < absolute.size(); ++at) {
            const auto byte = static_cast<uint8_t>(absolute[at]);
            if (isDbcsLeadByte(byte) && at + 1 < absolute.size()) {
                part += absolute.substr(at++, 2);
            } else if (isSeparator(absolute[at])) {
                close();
            } else {
                part += absolute[at];
            }
        }
        close();
        std::string key = drive;
        for (const std::string& p : parts) key += "\\" + p;
        return parts.empty() ? key + "\\" : key;
    }

    bool parentIsDirectory(const std::string& key) const {
        size_t last = std::string::npos;
        for (size_t at = 0; at < key.size(); at += isDbcsLeadByte(static_cast<uint8_t>(key[at])) ? 2 : 1)
            if (key[at] == '\\') last = at;
        if (last == std::string::npos || key.size() <= 3) return false;
        const std::string parent = last == 2 ? key.substr(0, 3) : key.substr(0, last);
        auto it = nodes.find(parent);
        return it != nodes.end() && it->second.directory;
    }

    bool refusesReplacement(const FakeNode& node, uint32_t attributes) const {
        using namespace platform::attr;
        if (node.directory || node.heldOpen || (node.attributes & ReadOnly)) return true;
        return (node.attributes & (Hidden | System)) & ~attributes;
    }

    friend class FakeOutputFile;
    friend class FakeInputFile;
};

class FakeOutputFile : public platform::OutputFile {
public:
    FakeOutputFile(FileSystemFake& fs, std::string key) : fs_(fs), key_(std::move(key)) {}

    bool write(platform::Bytes bytes) override {
        fs_.writeSizes.push_back(bytes.size());
        FakeNode& node = fs_.nodes[key_];
        size_t fits = bytes.size();
        if (fs_.spaceLeft) fits = static_cast<size_t>(std::min<uint64_t>(fits, *fs_.spaceLeft));
        if (fs_.keepData) node.data.append(reinterpret_cast<const char*>(bytes.data()), fits);
        node.size += fits;
        if (fs_.spaceLeft) *fs_.spaceLeft -= fits;
        return fits == bytes.size();
    }
    bool isDiskFile() const override { return !fs_.nodes[key_].device; }
    bool setTimes(platform::FileTime creation, platform::FileTime access, platform::FileTime write) override {
        FakeNode& node = fs_.nodes[key_];
        if (creation.ticks) node.creation = creation;
        if (access.ticks) node.access = access;
        if (write.ticks) node.write = write;
        return true;
    }

private:
    FileSystemFake& fs_;
    std::string key_;
};

class FakeInputFile : public platform::InputFile {
public:
    FakeInputFile(FileSystemFake& fs, std::string key) : fs_(fs), key_(std::move(key)) {}

    std::optional<uint64_t> size() override { return fs_.nodes[key_].data.size(); }
    std::optional<size_t> readAt(uint64_t offset, std::span<uint8_t> buffer) override {
        ++fs_.reads;
        const std::string& data = fs_.nodes[key_].data;
        if (offset >= data.size()) return 0;
        const size_t n = std::min<uint64_t>(buffer.size(), data.size() - offset);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(offset), n, buffer.begin());
        return n;
    }

private:
    FileSystemFake& fs_;
    std::string key_;
};

inline std::unique_ptr<platform::OutputFile> FileSystemFake::createFile(const std::string& path, uint32_t attributes) {
    createdFiles.push_back(path);
    if (path.empty() || isSeparator(path.back())) return nullptr;
    const std::string key = canonical(path);
    if (key.starts_with("\\\\") || !parentIsDirectory(key)) return nullptr;
    FakeNode node;
    node.attributes = attributes;
    if (auto it = nodes.find(key); it != nodes.end()) {
        if (refusesReplacement(it->second, attributes)) return nullptr;
        node.device = it->second.device;
    }
    nodes[key] = node;
    return std::make_unique<FakeOutputFile>(*this, key);
}

inline std::unique_ptr<platform::InputFile> FileSystemFake::openForReading(const std::string& path) {
    FakeNode* node = find(path);
    if (!node || node->directory) return nullptr;
    return std::make_unique<FakeInputFile>(*this, canonical(path));
}

}  // namespace fake

#pragma once
// The file operations the extraction needs, in plain C++ types. Failures are values: false or
// an empty pointer, never exceptions.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/Types.h"

namespace platform {

// A file created for writing; closed when the object goes.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Writes all the bytes; false when they could not all be written (disk full, device error).
    virtual bool write(Bytes bytes) = 0;
    // True for a file on a disk, as opposed to a device or a pipe that happens to have a name.
    virtual bool isDiskFile() const = 0;
    // A time of zero ticks leaves that time as the system set it.
    virtual bool setTimes(FileTime creation, FileTime access, FileTime write) = 0;
};

// A file opened for reading at any offset; closed when the object goes.
class InputFile {
public:
    virtual ~InputFile() = default;
    virtual std::optional<uint64_t> size() = 0;
    // Fills the buffer from the offset on; fewer bytes only at the end of the file. Empty on a
    // read error.
    virtual std::optional<size_t> readAt(uint64_t offset, std::span<uint8_t> buffer) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // True when a file or a directory exists under the name; an empty name exists nowhere.
    virtual bool exists(const std::string& path) = 0;
    // One directory, whose parent must exist.
    virtual bool createDirectory(const std::string& path) = 0;
    virtual bool setAttributes(const std::string& path, uint32_t attributes) = 0;
    // Creates the file or empties an existing one, with write access and no sharing; the
    // attributes are those of a newly created file. Empty when it cannot be created.
    virtual std::unique_ptr<OutputFile> createFile(const std::string& path, uint32_t attributes) = 0;
    // Opens an existing file for reading. While it is open others may read it and delete it
    // (the name goes when the last handle closes), but not write it.
    virtual std::unique_ptr<InputFile> openForReading(const std::string& path) = 0;

    // True when the byte begins a double-byte character in the system's ANSI code page.
    virtual bool isDbcsLeadByte(uint8_t byte) const = 0;
    virtual std::string currentDirectory() = 0;
};

}  // namespace platform

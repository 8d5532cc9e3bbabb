#pragma once
// An archive read through minizip's unzip interface, over a platform input file.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Handle.h"
#include "payload/ZipEntryInfo.h"

namespace payload {

class ZipArchive {
public:
    // Empty when the file cannot be opened or its central directory cannot be located.
    static std::unique_ptr<ZipArchive> Open(platform::FileSystem& fs, const std::string& path);

    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;
    ~ZipArchive();

    // Reads entries 0, 1, 2, ... up to the first that cannot be read. Empty when the central
    // directory lists entries but its first record cannot be read.
    std::optional<int32_t> CountEntries();
    // The number of entries the end of the central directory declares.
    std::optional<uint64_t> DeclaredEntries();

    // The entry at `index`, its local header checked against its central record; null when it
    // cannot be read. The entry read last is kept: reading it again touches no file.
    const ZipEntryInfo* ReadEntry(int32_t index);

    // Inflates the entry's data into `sink` in chunks of ChunkSize bytes. True only when the
    // sink took every chunk, the data ended cleanly, its CRC-32 matched and its length is the
    // entry's uncompressed size.
    static constexpr size_t ChunkSize = 16384;
    bool ReadData(const ZipEntryInfo& entry, const std::function<bool(platform::Bytes)>& sink);

    // The position the unzip interface reads from; its callbacks work on this. minizip reads
    // headers a byte or two at a time, so small reads are served from a window read ahead.
    struct Stream {
        static constexpr size_t WindowSize = 65536;
        platform::InputFile& file;
        uint64_t position = 0;
        bool failed = false;
        std::vector<uint8_t> window = std::vector<uint8_t>(WindowSize);
        uint64_t windowStart = 0;
        size_t windowLength = 0;
    };

private:
    struct CloseUnzip {
        void operator()(void* handle) const;
    };
    using UniqueUnzip = platform::Unique<void*, CloseUnzip>;

    explicit ZipArchive(std::unique_ptr<platform::InputFile> file);
    bool GoTo(int32_t index);
    std::optional<ZipEntryInfo> ReadCurrentEntry(int32_t index);
    bool ReadLocalExtraField(std::vector<uint8_t>& extra);

    std::unique_ptr<platform::InputFile> file_;
    Stream stream_;
    UniqueUnzip unzip_;
    int32_t position_ = -1;  // the entry the unzip interface stands on; -1: unknown
    std::optional<ZipEntryInfo> cached_;
    std::vector<char> nameBuffer_;
    std::vector<uint8_t> dataBuffer_;
};

}  // namespace payload

#include "payload/ZipArchive.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <limits>

namespace payload {

namespace {

using Stream = ZipArchive::Stream;

// minizip's file callbacks, reading through the platform file. The stream is the opaque
// pointer; closing it is left to the archive, which owns the file.
voidpf openStream(voidpf opaque, const void*, int mode) {
    return (mode & ZLIB_FILEFUNC_MODE_WRITE) ? nullptr : opaque;
}

// Reads into `into` from the stream's position: large reads straight from the file, small ones
// through the window, which is refilled from the position when it does not hold the range.
std::optional<size_t> readAhead(Stream& s, std::span<uint8_t> into) {
    if (into.size() >= Stream::WindowSize) return s.file.readAt(s.position, into);
    const bool inWindow = s.position >= s.windowStart && s.position - s.windowStart + into.size() <= s.windowLength;
    if (!inWindow) {
        const auto got = s.file.readAt(s.position, s.window);
        if (!got) return std::nullopt;
        s.windowStart = s.position;
        s.windowLength = *got;  // shorter than the window only at the end of the file
    }
    const size_t offset = static_cast<size_t>(s.position - s.windowStart);
    const size_t n = std::min(into.size(), s.windowLength - std::min(offset, s.windowLength));
    std::copy_n(s.window.begin() + static_cast<std::ptrdiff_t>(offset), n, into.begin());
    return n;
}

uLong readStream(voidpf, voidpf stream, void* buffer, uLong size) {
    auto& s = *static_cast<Stream*>(stream);
    const auto got = readAhead(s, {static_cast<uint8_t*>(buffer), size});
    if (!got) {
        s.failed = true;
        return 0;
    }
    s.position += *got;
    return static_cast<uLong>(*got);
}

uLong writeStream(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T tellStream(voidpf, voidpf stream) { return static_cast<Stream*>(stream)->position; }

long seekStream(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto& s = *static_cast<Stream*>(stream);
    uint64_t base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) {
        base = s.position;
    } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
        const auto size = s.file.size();
        if (!size) return -1;
        base = *size;
    } else if (origin != ZLIB_FILEFUNC_SEEK_SET) {
        return -1;
    }
    if (offset > std::numeric_limits<uint64_t>::max() - base) return -1;
    s.position = base + offset;
    return 0;
}

int closeStream(voidpf, voidpf) { return 0; }

int streamError(voidpf, voidpf stream) { return static_cast<Stream*>(stream)->failed ? 1 : 0; }

// The entry opened for reading its data, closed again unless released first.
struct CloseCurrentFile {
    void operator()(void* handle) const { unzCloseCurrentFile(handle); }
};
using OpenEntry = platform::Unique<void*, CloseCurrentFile>;

}  // namespace

void ZipArchive::CloseUnzip::operator()(void* handle) const { unzClose(handle); }

ZipArchive::ZipArchive(std::unique_ptr<platform::InputFile> file)
    : file_(std::move(file)), stream_{*file_}, nameBuffer_(65536), dataBuffer_(ChunkSize) {}

ZipArchive::~ZipArchive() = default;

std::unique_ptr<ZipArchive> ZipArchive::Open(platform::FileSystem& fs, const std::string& path) {
    auto file = fs.openForReading(path);
    if (!file) return nullptr;
    std::unique_ptr<ZipArchive> archive(new ZipArchive(std::move(file)));
    zlib_filefunc64_def callbacks{openStream, readStream,  writeStream, tellStream,
                                  seekStream, closeStream, streamError, &archive->stream_};
    archive->unzip_.reset(unzOpen2_64(path.c_str(), &callbacks));
    if (!archive->unzip_) return nullptr;
    return archive;
}

std::optional<int32_t> ZipArchive::CountEntries() {
    if (!GoTo(0)) {
        unz_global_info64 global{};
        if (unzGetGlobalInfo64(unzip_.get(), &global) == UNZ_OK && global.number_entry == 0) return 0;
        return std::nullopt;
    }
    int32_t count = 0;
    while (count < std::numeric_limits<int32_t>::max() && ReadEntry(count)) ++count;
    return count;
}

std::optional<uint64_t> ZipArchive::DeclaredEntries() {
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(unzip_.get(), &global) != UNZ_OK) return std::nullopt;
    return global.number_entry;
}

const ZipEntryInfo* ZipArchive::ReadEntry(int32_t index) {
    if (cached_ && cached_->index == index) return &*cached_;
    cached_.reset();
    if (index < 0 || !GoTo(index)) return nullptr;
    cached_ = ReadCurrentEntry(index);
    return cached_ ? &*cached_ : nullptr;
}

// Every step of the unzip interface moves its position in the central directory forward by a
// whole record, and a step that cannot read one fails, so the walk always ends.
bool ZipArchive::GoTo(int32_t index) {
    if (position_ < 0 || index < position_) {
        position_ = unzGoToFirstFile(unzip_.get()) == UNZ_OK ? 0 : -1;
        if (position_ < 0) return false;
    }
    while (position_ < index) {
        if (unzGoToNextFile(unzip_.get()) != UNZ_OK) {
            position_ = -1;
            return false;
        }
        ++position_;
    }
    return true;
}

std::optional<ZipEntryInfo> ZipArchive::ReadCurrentEntry(int32_t index) {
    unz_file_info64 central{};
    if (unzGetCurrentFileInfo64(unzip_.get(), &central, nameBuffer_.data(), static_cast<uLong>(nameBuffer_.size()),
                                nullptr, 0, nullptr, 0) != UNZ_OK)
        return std::nullopt;
    // minizip would copy other methods' data raw; only stored and deflate are readable.
    if (central.compression_method != 0 && central.compression_method != Z_DEFLATED) return std::nullopt;
    std::vector<uint8_t> extra;
    if (!ReadLocalExtraField(extra)) return std::nullopt;

    ZipEntryInfo info;
    info.index = index;
    info.name.assign(nameBuffer_.data(), central.size_filename);
    info.attributes = AttributesFromExternal(static_cast<uint32_t>(central.external_fa));
    info.encrypted = (central.flag & 1) != 0;
    info.compressedSize = central.compressed_size;
    info.uncompressedSize = central.uncompressed_size;
    SetDosTimes(static_cast<uint32_t>(central.dosDate), info);
    ApplyExtendedTimestamp(extra, info);
    return info;
}

// Opening the entry checks its local header against the central record.
bool ZipArchive::ReadLocalExtraField(std::vector<uint8_t>& extra) {
    if (unzOpenCurrentFile(unzip_.get()) != UNZ_OK) return false;
    OpenEntry entry(unzip_.get());
    const int size = unzGetLocalExtrafield(unzip_.get(), nullptr, 0);
    if (size < 0) return false;
    extra.resize(static_cast<size_t>(size));
    return size == 0 || unzGetLocalExtrafield(unzip_.get(), extra.data(), static_cast<unsigned>(size)) == size;
}

bool ZipArchive::ReadData(const ZipEntryInfo& entry, const std::function<bool(platform::Bytes)>& sink) {
    if (!GoTo(entry.index) || unzOpenCurrentFile(unzip_.get()) != UNZ_OK) return false;
    OpenEntry open(unzip_.get());
    uint64_t total = 0;
    for (;;) {
        const int got = unzReadCurrentFile(unzip_.get(), dataBuffer_.data(), static_cast<unsigned>(ChunkSize));
        if (got < 0) return false;
        if (got == 0) break;
        if (!sink({dataBuffer_.data(), static_cast<size_t>(got)})) return false;
        total += static_cast<uint64_t>(got);
    }
    // Closing compares the CRC-32, but only once the declared length has been read.
    const bool crcMatches = unzCloseCurrentFile(open.release()) == UNZ_OK;
    return crcMatches && total == entry.uncompressedSize;
}

}  // namespace payload

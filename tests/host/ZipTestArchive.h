#pragma once
// Small archives made at run time with minizip's zip interface, and where to patch them to make
// damaged ones. Shared by the host tests, the Windows tests and the benchmark.
#include <minizip/zip.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ziptest {

inline constexpr uint32_t DosReadOnly = 0x01, DosHidden = 0x02, DosSystem = 0x04, DosDirectory = 0x10,
                          DosArchive = 0x20;

// Upper half the DOS date, lower half the DOS time.
constexpr uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second) {
    const uint32_t date = static_cast<uint32_t>((year - 1980) << 9 | month << 5 | day);
    const uint32_t time = static_cast<uint32_t>(hour << 11 | minute << 5 | second / 2);
    return date << 16 | time;
}
inline constexpr uint32_t DefaultDosTime = DosDateTime(2021, 6, 15, 12, 34, 56);

struct Entry {
    std::string name;
    std::string data;
    uint32_t external = DosArchive;  // as a DOS or Windows host stores them: Unix half clear
    uint32_t dosDateTime = DefaultDosTime;
    std::string localExtra;
    int method = Z_DEFLATED;
};

inline Entry File(std::string name, std::string data) {
    Entry entry;
    entry.name = std::move(name);
    entry.data = std::move(data);
    return entry;
}
inline Entry Directory(std::string name) {
    Entry entry;
    entry.name = std::move(name);
    entry.external = DosDirectory;
    return entry;
}

// An extended-timestamp record: "UT", its data size, the flags, then the values given.
inline std::string UtRecord(uint8_t flags, const std::vector<int32_t>& values,
                            std::optional<uint16_t> declaredSize = std::nullopt) {
    const auto size = declaredSize.value_or(static_cast<uint16_t>(1 + 4 * values.size()));
    std::string record = {'U', 'T', static_cast<char>(size & 0xFF), static_cast<char>(size >> 8),
                          static_cast<char>(flags)};
    for (int32_t v : values) {
        const auto u = static_cast<uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8) record += static_cast<char>((u >> shift) & 0xFF);
    }
    return record;
}

namespace detail {

struct MemorySink {
    std::vector<uint8_t> bytes;
    uint64_t position = 0;
};

inline voidpf open(voidpf opaque, const void*, int) { return opaque; }
inline uLong read(voidpf, voidpf, void*, uLong) { return 0; }
inline uLong write(voidpf, voidpf stream, const void* buffer, uLong size) {
    auto& sink = *static_cast<MemorySink*>(stream);
    if (sink.bytes.size() < sink.position + size) sink.bytes.resize(sink.position + size);
    std::copy_n(static_cast<const uint8_t*>(buffer), size, sink.bytes.begin() + static_cast<ptrdiff_t>(sink.position));
    sink.position += size;
    return size;
}
inline ZPOS64_T tell(voidpf, voidpf stream) { return static_cast<MemorySink*>(stream)->position; }
inline long seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto& sink = *static_cast<MemorySink*>(stream);
    const uint64_t base = origin == ZLIB_FILEFUNC_SEEK_CUR   ? sink.position
                          : origin == ZLIB_FILEFUNC_SEEK_END ? sink.bytes.size()
                                                             : 0;
    sink.position = base + offset;
    return 0;
}
inline int close(voidpf, voidpf) { return 0; }
inline int error(voidpf, voidpf) { return 0; }

inline void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(what);
}

}  // namespace detail

// Writes entries to a new archive in memory, in the order given.
inline std::vector<uint8_t> MakeZip(const std::vector<Entry>& entries, int level = Z_DEFAULT_COMPRESSION) {
    detail::MemorySink sink;
    zlib_filefunc64_def callbacks{detail::open,  detail::read,  detail::write, detail::tell,
                                  detail::seek,  detail::close, detail::error, &sink};
    zipFile zip = zipOpen2_64("memory", APPEND_STATUS_CREATE, nullptr, &callbacks);
    detail::check(zip != nullptr, "zipOpen2_64");
    for (const Entry& e : entries) {
        zip_fileinfo info{};
        info.dosDate = e.dosDateTime;
        info.external_fa = e.external;
        const int rc = zipOpenNewFileInZip3_64(
            zip, e.name.c_str(), &info, e.localExtra.empty() ? nullptr : e.localExtra.data(),
            static_cast<uInt>(e.localExtra.size()), nullptr, 0, nullptr, e.method, e.method ? level : 0, 0,
            -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, 0);
        detail::check(rc == ZIP_OK, "zipOpenNewFileInZip3_64");
        if (!e.data.empty())
            detail::check(zipWriteInFileInZip(zip, e.data.data(), static_cast<unsigned>(e.data.size())) == ZIP_OK,
                          "zipWriteInFileInZip");
        detail::check(zipCloseFileInZip(zip) == ZIP_OK, "zipCloseFileInZip");
    }
    detail::check(zipClose(zip, nullptr) == ZIP_OK, "zipClose");
    return sink.bytes;
}

inline uint32_t Get16(const std::vector<uint8_t>& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
inline uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return Get16(b, at) | Get16(b, at + 2) << 16;
}
inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b.at(at) = static_cast<uint8_t>(v);
    b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// Where the records of an archive made by MakeZip lie.
struct Layout {
    size_t endRecord = 0;
    std::vector<size_t> central, local;
    size_t dataOf(const std::vector<uint8_t>& zip, int entry) const {
        const size_t at = local.at(static_cast<size_t>(entry));
        return at + 30 + Get16(zip, at + 26) + Get16(zip, at + 28);
    }
};

inline Layout LayoutOf(const std::vector<uint8_t>& zip) {
    Layout layout;
    layout.endRecord = zip.size() - 22;  // MakeZip writes no archive comment
    detail::check(Get32(zip, layout.endRecord) == 0x06054B50, "end record");
    size_t at = Get32(zip, layout.endRecord + 16);
    for (uint32_t i = 0; i < Get16(zip, layout.endRecord + 10); ++i) {
        layout.central.push_back(at);
        layout.local.push_back(Get32(zip, at + 42));
        at += 46 + Get16(zip, at + 28) + Get16(zip, at + 30) + Get16(zip, at + 32);
    }
    return layout;
}

// A field that stands in both the central record and the local header of an entry.
enum class Field { Flag, Method, Crc, CompressedSize, UncompressedSize, DosDateTime };

inline void Patch(std::vector<uint8_t>& zip, int entry, Field field, uint32_t value) {
    const Layout layout = LayoutOf(zip);
    const size_t central = layout.central.at(static_cast<size_t>(entry));
    const size_t local = layout.local.at(static_cast<size_t>(entry));
    switch (field) {
        case Field::Flag: Put16(zip, central + 8, value), Put16(zip, local + 6, value); break;
        case Field::Method: Put16(zip, central + 10, value), Put16(zip, local + 8, value); break;
        case Field::DosDateTime: Put32(zip, central + 12, value), Put32(zip, local + 10, value); break;
        case Field::Crc: Put32(zip, central + 16, value), Put32(zip, local + 14, value); break;
        case Field::CompressedSize: Put32(zip, central + 20, value), Put32(zip, local + 18, value); break;
        case Field::UncompressedSize: Put32(zip, central + 24, value), Put32(zip, local + 22, value); break;
    }
}

// Entry names 0 .. count-1 as "f0.txt", "f1.txt", ... each holding a line of its own.
inline std::vector<Entry> NumberedFiles(int count) {
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i) {
        std::string name = "f", data = "file ";
        name += std::to_string(i);
        name += ".txt";
        data += std::to_string(i);
        entries.push_back(File(name, data));
    }
    return entries;
}

}  // namespace ziptest

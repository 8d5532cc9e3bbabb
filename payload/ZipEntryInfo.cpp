#include "payload/ZipEntryInfo.h"

#include "payload/DosTime.h"

namespace payload {

namespace {

namespace attr = platform::attr;

constexpr uint32_t UnixDirectory = 0x40000000;
constexpr uint32_t UnixOwnerWrite = 0x00800000;
constexpr uint32_t DosReadOnly = 0x01, DosHidden = 0x02, DosSystem = 0x04, DosDirectory = 0x10,
                   DosArchive = 0x20;

uint16_t read16(platform::Bytes bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

int32_t readSigned32(platform::Bytes bytes, size_t at) {
    const uint32_t value = static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
                           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
    return static_cast<int32_t>(value);
}

// The data of the first "UT" record, or empty when there is none that fits in the field.
platform::Bytes findExtendedTimestamp(platform::Bytes field) {
    size_t offset = 0;
    while (offset + 4 < field.size()) {
        const size_t dataSize = read16(field, offset + 2);
        if (dataSize > field.size() - offset - 4) return {};
        if (field[offset] == 'U' && field[offset + 1] == 'T') return field.subspan(offset + 4, dataSize);
        offset += 4 + dataSize;
    }
    return {};
}

}  // namespace

uint32_t AttributesFromExternal(uint32_t external) {
    uint32_t attributes = attr::Normal;
    if (external & (UnixDirectory | DosDirectory)) attributes |= attr::Directory;
    if (external & DosArchive) attributes |= attr::Archive;
    if (external & DosHidden) attributes |= attr::Hidden;
    if (!(external & UnixOwnerWrite) || (external & DosReadOnly)) attributes |= attr::ReadOnly;
    if (external & DosSystem) attributes |= attr::System;
    return attributes;
}

void SetDosTimes(uint32_t dosDateTime, ZipEntryInfo& info) {
    const auto time = FileTimeFromDos(static_cast<uint16_t>(dosDateTime >> 16),
                                      static_cast<uint16_t>(dosDateTime & 0xFFFF));
    info.accessTime = info.creationTime = info.writeTime = time.value_or(platform::FileTime{});
}

void ApplyExtendedTimestamp(platform::Bytes extraField, ZipEntryInfo& info) {
    const platform::Bytes record = findExtendedTimestamp(extraField);
    if (record.empty()) return;
    const uint8_t flags = record[0];
    size_t at = 1;
    platform::FileTime* targets[] = {&info.writeTime, &info.accessTime, &info.creationTime};
    for (int bit = 0; bit < 3; ++bit) {
        if (!(flags & (1u << bit))) continue;
        if (at + 4 > record.size()) return;
        *targets[bit] = FileTimeFromUnixSeconds(readSigned32(record, at));
        at += 4;
    }
}

}  // namespace payload

#pragma once
// One archive entry as the walk reads it from the central directory and its local header.
#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace payload {

struct ZipEntryInfo {
    int32_t index = 0;       // position in the central directory, from 0
    std::string name;        // bytes as stored, "/" as separator
    uint32_t attributes = 0; // Windows attribute bits, from AttributesFromExternal
    bool encrypted = false;  // general-purpose flag bit 0
    // Zero ticks: not known (an invalid DOS date), the file keeps the time it was written at.
    platform::FileTime accessTime, creationTime, writeTime;
    uint64_t compressedSize = 0, uncompressedSize = 0;
};

// Windows attributes from an entry's external attributes: DOS bits in the low byte, Unix mode in
// the upper half. Always FILE_ATTRIBUTE_NORMAL; read-only also when the Unix owner-write bit is
// clear, as it is in every archive made on DOS or Windows.
uint32_t AttributesFromExternal(uint32_t external);

// All three times from the DOS date (upper half) and time (lower half), taken as UTC.
void SetDosTimes(uint32_t dosDateTime, ZipEntryInfo& info);

// Takes the times the first extended-timestamp ("UT") record of a local extra field holds.
// Records and values that do not lie wholly inside the field are not read; times they would
// have given keep their DOS values.
void ApplyExtendedTimestamp(platform::Bytes extraField, ZipEntryInfo& info);

}  // namespace payload

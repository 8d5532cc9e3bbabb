#pragma once
// Exact conversions of the time stamps a ZIP archive stores into file times (UTC).
#include <cstdint>
#include <optional>

#include "platform/Types.h"

namespace payload {

// The DOS date and time of an entry, taken as UTC clock time; empty when a field is out of
// range (month 0 or 13, 30 February, hour 24, 60 seconds and the like).
std::optional<platform::FileTime> FileTimeFromDos(uint16_t dosDate, uint16_t dosTime);

// Seconds since 1970-01-01 00:00:00 UTC. Every 32-bit value, negative ones included, has a
// calendar date after 1601 and converts exactly.
platform::FileTime FileTimeFromUnixSeconds(int32_t seconds);

}  // namespace payload

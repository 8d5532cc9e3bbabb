#pragma once
// Plain types that cross the boundary between the portable code and the operating system.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace platform {

// An opaque window handle: the logic passes it on, never looks inside.
struct WindowId {
    void* value = nullptr;
    bool operator==(const WindowId&) const = default;
};

// A file time in 100-ns ticks since 1601-01-01 UTC, as the platform keeps it.
struct FileTime {
    uint64_t ticks = 0;
    bool operator==(const FileTime&) const = default;
};

// File attribute bits, with the platform's values.
namespace attr {
inline constexpr uint32_t ReadOnly = 0x01;
inline constexpr uint32_t Hidden = 0x02;
inline constexpr uint32_t System = 0x04;
inline constexpr uint32_t Directory = 0x10;
inline constexpr uint32_t Archive = 0x20;
inline constexpr uint32_t Normal = 0x80;
}  // namespace attr

// Message-box flags and results as the installer uses them.
namespace mb {
inline constexpr unsigned Ok = 0;
inline constexpr unsigned YesNo = 4;
inline constexpr unsigned IconInformation = 64;
}  // namespace mb

// The pressed button, numbered as the installer's texts and logic expect.
enum class MessageResult : int { Ok = 0, Cancel = 1, Abort = 2, Retry = 3, Ignore = 4, Yes = 5, No = 6 };

using Bytes = std::span<const uint8_t>;

// A byte set as it lies in read-only data: a 32-bit 1, a 32-bit count, then the bytes.
struct ByteSetBlock {
    uint32_t one;
    uint32_t count;
    uint8_t first[1];
};

inline Bytes bytesOf(const ByteSetBlock& block) { return {block.first, block.count}; }

}  // namespace platform

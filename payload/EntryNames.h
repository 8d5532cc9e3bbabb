#pragma once
// Which stored entry names may be joined to the target directory.
#include <string_view>

#include "payload/PathText.h"

namespace payload {

// Names are at most this many bytes long.
inline constexpr size_t MaxEntryNameLength = 259;

// True when the name stays inside whatever directory it is joined to and names an ordinary
// file or folder there: relative, made of non-empty components other than "." and "..", none
// a device name or ending in "." or space, no ":" and no control character, every double-byte
// character complete, and shorter than 260 bytes. One trailing "/" or "\" (a directory entry)
// is allowed.
bool IsSafeEntryName(std::string_view name, const LeadByteTest& isLead);

}  // namespace payload

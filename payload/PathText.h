#pragma once
// Paths as ANSI text: walked character by character, so that the second byte of a double-byte
// character is never taken for a separator.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace payload {

using LeadByteTest = std::function<bool(uint8_t)>;

LeadByteTest LeadBytesOf(const platform::FileSystem& fs);

// Bytes taken by the character at `at`: 2 for a lead byte that has a byte after it, else 1.
size_t CharacterLength(std::string_view text, size_t at, const LeadByteTest& isLead);

// True when the last character of the text is the single-byte character `c`.
bool LastCharacterIs(std::string_view text, char c, const LeadByteTest& isLead);

// `directory`, a "\" unless it already ends in one, then `rest`.
std::string JoinPath(std::string_view directory, std::string_view rest, const LeadByteTest& isLead);

// Where an entry goes: the entry name joined to the target with every "/" byte made a "\".
std::string OutputPath(std::string_view targetDir, std::string_view entryName, const LeadByteTest& isLead);

// Creates every missing directory along the path, from the first separator on; false as soon as
// one cannot be created.
bool CreateDirectoryPath(platform::FileSystem& fs, const std::string& path);

// The folder levels of a relative output path that the writer creates before the file ("a",
// then "a\b" for "a\b\file"); none for a path that starts with a separator, has a drive or
// climbs with "..".
std::vector<std::string> RelativeFolderLevels(std::string_view outputPath, const LeadByteTest& isLead);

}  // namespace payload

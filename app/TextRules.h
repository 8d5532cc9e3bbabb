#pragma once
// Text rules of the installer. Texts are GBK bytes; these walk them character by character,
// so the second byte of a double-byte character is never taken for a separator or a space.
#include <string>
#include <vector>

namespace app {

// A GBK lead byte: it and the byte after it form one character.
inline bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Splits at `separator`. Each separator adds the text before it (possibly empty); the rest
// after the last separator is added only when it is not empty. An empty text gives no items.
std::vector<std::string> SplitText(const std::string& text, char separator);

// A to Z become a to z; a byte of 128 or more begins a two-byte character whose second
// byte is copied unchanged; all other bytes are copied unchanged.
std::string LowerCase(const std::string& text);

// Removes spaces and full-width spaces (the GBK pair A1 A1) from both ends.
std::string TrimSpaces(const std::string& text);

// Whether `c` occurs as a character of its own (never as the second byte of a pair).
bool ContainsCharacter(const std::string& text, char c);

}  // namespace app

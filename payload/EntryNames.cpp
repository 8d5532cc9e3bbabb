#include "payload/EntryNames.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace payload {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// CON, PRN, AUX, NUL, COM0-9, LPT0-9 (and the console's CONIN$, CONOUT$) open devices whatever
// extension follows them, and whatever spaces stand before the extension.
bool isDeviceName(std::string_view component) {
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    const std::string upper = upperAscii(base);
    static constexpr std::array<std::string_view, 6> plain = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::find(plain.begin(), plain.end(), upper) != plain.end()) return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           upper[3] >= '0' && upper[3] <= '9';
}

bool isSafeComponent(std::string_view component) {
    if (component.empty() || component == "." || component == "..") return false;
    if (component.back() == '.' || component.back() == ' ') return false;
    return !isDeviceName(component);
}

// Splits at single-byte separators; empty when a byte rules the whole name out (a control
// character, ":", or a lead byte without a proper second byte: every code page that has
// double-byte characters puts their second byte at 0x40 or above).
std::optional<std::vector<std::string_view>> components(std::string_view name, const LeadByteTest& isLead) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t at = 0; at < name.size();) {
        const auto byte = static_cast<uint8_t>(name[at]);
        if (byte < 0x20 || byte == ':') return std::nullopt;
        if (isLead(byte)) {
            if (at + 1 >= name.size() || static_cast<uint8_t>(name[at + 1]) < 0x40) return std::nullopt;
            at += 2;
            continue;
        }
        if (isSeparator(name[at])) {
            parts.push_back(name.substr(start, at - start));
            start = at + 1;
        }
        ++at;
    }
    if (start < name.size()) parts.push_back(name.substr(start));
    return parts;
}

}  // namespace

bool IsSafeEntryName(std::string_view name, const LeadByteTest& isLead) {
    if (name.empty() || name.size() > MaxEntryNameLength || isSeparator(name[0])) return false;
    const auto parts = components(name, isLead);
    return parts && !parts->empty() && std::all_of(parts->begin(), parts->end(), isSafeComponent);
}

}  // namespace payload

#include "payload/PathText.h"

namespace payload {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

LeadByteTest LeadBytesOf(const platform::FileSystem& fs) {
    return [&fs](uint8_t byte) { return fs.isDbcsLeadByte(byte); };
}

size_t CharacterLength(std::string_view text, size_t at, const LeadByteTest& isLead) {
    return at + 1 < text.size() && isLead(static_cast<uint8_t>(text[at])) ? 2 : 1;
}

bool LastCharacterIs(std::string_view text, char c, const LeadByteTest& isLead) {
    size_t last = std::string_view::npos;
    for (size_t at = 0; at < text.size(); at += CharacterLength(text, at, isLead)) last = at;
    return last != std::string_view::npos && last + 1 == text.size() && text[last] == c;
}

std::string JoinPath(std::string_view directory, std::string_view rest, const LeadByteTest& isLead) {
    std::string path(directory);
    if (!LastCharacterIs(directory, '\\', isLead)) path += '\\';
    path += rest;
    return path;
}

std::string OutputPath(std::string_view targetDir, std::string_view entryName, const LeadByteTest& isLead) {
    std::string name(entryName);
    for (char& c : name)
        if (c == '/') c = '\\';
    return JoinPath(targetDir, name, isLead);
}

bool CreateDirectoryPath(platform::FileSystem& fs, const std::string& path) {
    const LeadByteTest isLead = LeadBytesOf(fs);
    std::string walked = path;
    if (!LastCharacterIs(walked, '\\', isLead)) walked += '\\';
    for (size_t at = 0; at < walked.size(); at += CharacterLength(walked, at, isLead)) {
        if (walked[at] != '\\') continue;
        const std::string prefix = walked.substr(0, at + 1);
        if (!fs.exists(prefix) && !fs.createDirectory(prefix)) return false;
    }
    return true;
}

std::vector<std::string> RelativeFolderLevels(std::string_view outputPath, const LeadByteTest& isLead) {
    std::vector<size_t> separators;
    for (size_t at = 0; at < outputPath.size(); at += CharacterLength(outputPath, at, isLead))
        if (isSeparator(outputPath[at])) separators.push_back(at);
    if (separators.empty()) return {};
    const std::string_view folder = outputPath.substr(0, separators.back());
    if (folder.empty() || isSeparator(folder[0]) || (folder.size() > 1 && folder[1] == ':')) return {};
    if (folder.find("../") != std::string_view::npos || folder.find("..\\") != std::string_view::npos) return {};
    std::vector<std::string> levels;
    for (size_t separator : separators) levels.emplace_back(outputPath.substr(0, separator));
    return levels;
}

}  // namespace payload

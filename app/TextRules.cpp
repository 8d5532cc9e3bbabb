#include "app/TextRules.h"

namespace app {

namespace {

size_t characterLength(const std::string& text, size_t at) {
    return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

bool isFullWidthSpace(const std::string& text, size_t at) {
    return at + 1 < text.size() && static_cast<unsigned char>(text[at]) == 0xA1 &&
           static_cast<unsigned char>(text[at + 1]) == 0xA1;
}

}  // namespace

std::vector<std::string> SplitText(const std::string& text, char separator) {
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t at = 0; at < text.size(); at += characterLength(text, at)) {
        if (text[at] == separator) {
            items.push_back(text.substr(start, at - start));
            start = at + 1;
        }
    }
    if (start < text.size()) items.push_back(text.substr(start));
    return items;
}

std::string LowerCase(const std::string& text) {
    std::string out = text;
    for (size_t at = 0; at < out.size(); ++at) {
        unsigned char c = static_cast<unsigned char>(out[at]);
        if (c >= 'A' && c <= 'Z') {
            out[at] = static_cast<char>(c - 'A' + 'a');
        } else if (c >= 128) {
            ++at;  // the trail byte stays as it is
        }
    }
    return out;
}

bool ContainsCharacter(const std::string& text, char c) {
    for (size_t at = 0; at < text.size(); at += characterLength(text, at)) {
        if (text[at] == c) return true;
    }
    return false;
}

std::string TrimSpaces(const std::string& text) {
    // Walk forward over leading spaces, then record where the last non-space character ends.
    size_t begin = 0;
    while (begin < text.size()) {
        if (text[begin] == ' ') ++begin;
        else if (isFullWidthSpace(text, begin)) begin += 2;
        else break;
    }
    size_t end = begin;
    for (size_t at = begin; at < text.size();) {
        size_t len = text[at] == ' ' ? 1 : isFullWidthSpace(text, at) ? 2 : characterLength(text, at);
        bool space = text[at] == ' ' || isFullWidthSpace(text, at);
        at += len;
        if (!space) end = at;
    }
    return text.substr(begin, end - begin);
}

}  // namespace app

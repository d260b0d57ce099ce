#include "inf_lines.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <functional>

namespace check {

std::string Trim(const std::string &text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

namespace {

bool HoldsNoCase(const std::string &text, const std::string &needle) {
    return std::search(text.begin(), text.end(), needle.begin(), needle.end(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           }) != text.end();
}

// The number of the first line of [section] that `fits`; 0 when none.
int FirstLineOf(const std::string &text, const std::string &section, const std::function<bool(const std::string &)> &fits) {
    bool inSection = false;
    int number = 0;
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        ++number;
        const std::string line = Trim(text.substr(begin, end - begin));
        begin = end + 1;
        if (!line.empty() && line[0] == '[') {
            const std::size_t close = line.find(']');
            inSection = strcasecmp(Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)).c_str(),
                                   section.c_str()) == 0;
            continue;
        }
        if (inSection && fits(line)) return number;
    }
    return 0;
}

}  // namespace

std::string InfLineText(std::string bytes) {
    if (bytes.compare(0, 2, "\xFF\xFE") != 0) return bytes;  // moved, not copied: it may be 50 MB
    std::string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += bytes[i + 1] == 0 && !(bytes[i] & 0x80) ? bytes[i] : '?';
    return text;
}

int LineOfKey(const std::string &text, const std::string &section, const std::string &key) {
    return FirstLineOf(text, section, [&](const std::string &line) {
        const std::size_t equals = line.find('=');
        return equals != std::string::npos && strcasecmp(Trim(line.substr(0, equals)).c_str(), key.c_str()) == 0;
    });
}

int LineHolding(const std::string &text, const std::string &section, const std::string &needle) {
    return FirstLineOf(text, section, [&](const std::string &line) { return HoldsNoCase(line, needle); });
}

}  // namespace check

#include "platform/sim/files/short_names.h"

#include <cstring>
#include <set>

namespace sim {
namespace {

constexpr std::size_t kBaseLength = 8;
constexpr std::size_t kExtensionLength = 3;
constexpr std::size_t kPrefixLength = 6;

bool IsShortNameCharacter(unsigned char c) {
    if (c >= 0x80 || c <= 0x20) return false;
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    return std::strchr("!#$%&'()-@^_`{}~", c) != nullptr;
}

std::string Upper(std::string text) {
    for (char &c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
    return text;
}

// The characters of `part` a short name keeps: blanks and periods dropped,
// letters upper-cased, and every other character that cannot stand in a
// short name (including each non-ASCII character) as "_".
std::string ShortNameCharacters(const std::string &part) {
    std::string kept;
    for (std::size_t i = 0; i < part.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(part[i]);
        if (c == ' ' || c == '.') continue;
        if (c >= 0x80) {
            while (i + 1 < part.size() && (static_cast<unsigned char>(part[i + 1]) & 0xC0) == 0x80) ++i;
            kept += '_';
        } else {
            kept += IsShortNameCharacter(c) ? static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c) : '_';
        }
    }
    return kept;
}

std::string GeneratedName(const std::string &name, std::set<std::string> &taken) {
    // The extension follows the last period that has something other
    // than periods before it (".profile" has none).
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && name.find_first_not_of('.') >= dot) dot = std::string::npos;
    std::string prefix = ShortNameCharacters(name.substr(0, dot)).substr(0, kPrefixLength);
    if (prefix.empty()) prefix = "_";
    const std::string extension =
        dot == std::string::npos ? std::string()
                                 : ShortNameCharacters(name.substr(dot + 1)).substr(0, kExtensionLength);
    for (unsigned number = 1;; ++number) {
        const std::string tail = "~" + std::to_string(number);
        std::string candidate = prefix.substr(0, std::min(prefix.size(), kBaseLength - tail.size())) + tail;
        if (!extension.empty()) candidate += "." + extension;
        if (taken.insert(candidate).second) return candidate;
    }
}

}  // namespace

bool IsShortName(const std::string &name) {
    if (name == "." || name == "..") return true;
    const std::size_t dot = name.find('.');
    const std::string base = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    if (base.empty() || base.size() > kBaseLength || extension.size() > kExtensionLength) return false;
    if (dot != std::string::npos && extension.empty()) return false;
    for (const std::string *part : {&base, &extension})
        for (char c : *part)
            if (!IsShortNameCharacter(static_cast<unsigned char>(c))) return false;
    return true;
}

std::vector<std::string> ShortNames(const std::vector<std::string> &names) {
    std::set<std::string> taken;
    for (const std::string &name : names)
        if (IsShortName(name)) taken.insert(Upper(name));
    std::vector<std::string> shortNames;
    shortNames.reserve(names.size());
    for (const std::string &name : names)
        shortNames.push_back(IsShortName(name) ? std::string() : GeneratedName(name, taken));
    return shortNames;
}

}  // namespace sim

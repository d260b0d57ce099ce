#include "inf/inf_paths.h"

#include <cstring>

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithNoCase(const CString &text, std::size_t at, const char *prefix) {
    const std::size_t length = std::strlen(prefix);
    return text.size() >= at + length && SameTextNoCase(text.substr(at, length), prefix);
}

// Names that open a device rather than a file, whatever extension follows.
bool IsDeviceName(const CString &name) {
    CString base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char &c : base) c = UpperAscii(c);
    for (const char *device : {"CON", "PRN", "AUX", "NUL", "CLOCK$"})
        if (base == device) return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

bool SameTextNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

bool IsPlainFileName(const CString &name) {
    if (name.empty()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (IsDBCSLeadByte(c)) {
            // The trail byte may have the value of "\": it is part of the
            // character, not a separator.
            if (i + 1 == name.size()) return false;
            ++i;
            continue;
        }
        if (c < 0x20 || std::strchr("/\\:*?\"<>|", c)) return false;
    }
    return !IsDeviceName(name);
}

bool IsNumberedOemInfName(const CString &name) {
    if (!StartsWithNoCase(name, 0, "OEM")) return false;
    std::size_t end = 3;
    while (end < name.size() && name[end] >= '0' && name[end] <= '9') ++end;
    return end > 3 && name.size() == end + 4 && StartsWithNoCase(name, end, ".inf");
}

bool IsExistingFolder(const CString &path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

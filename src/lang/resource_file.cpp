// The message resource file: [section] lines and key=value lines, read in
// pieces of at most 255 characters, later entries replacing earlier ones.
#include "lang/resource_file.h"

#include <cstring>
#include <memory>

namespace {

// The only section the program looks texts up in.
constexpr const char *kStringSection = "String";
constexpr const char *kKeySeparator = "____";
// One read takes at most 255 characters and the terminator; a longer line
// is handled as several lines.
constexpr int kPieceBuffer = 256;
constexpr const char *kWhiteSpace = " \t\n\v\f\r";

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};

CString TrimRight(const CString &text) {
    std::size_t end = text.find_last_not_of(kWhiteSpace);
    return end == CString::npos ? CString() : text.substr(0, end + 1);
}

CString TrimLeft(const CString &text) {
    std::size_t start = text.find_first_not_of(kWhiteSpace);
    return start == CString::npos ? CString() : text.substr(start);
}

}  // namespace

BOOL CResourceFile::Load(const char *path) {
    m_map.clear();
    std::unique_ptr<std::FILE, FileCloser> file(OpenStdioFile(path, "rt"));
    if (!file) return FALSE;

    CString section;
    char buffer[kPieceBuffer];
    while (std::fgets(buffer, kPieceBuffer, file.get())) {
        CString piece = buffer;
        if (piece.empty()) continue;
        if (piece[0] == '[') {
            // The name ends two characters before the piece does: the "]"
            // and the line end. Nothing checks that they are there.
            section = piece.size() > 3 ? piece.substr(1, piece.size() - 3) : CString();
            continue;
        }
        std::size_t equals = piece.find('=');
        if (equals == CString::npos) continue;
        CString key = TrimRight(piece.substr(0, equals));
        CString value = piece.substr(equals + 1);
        if (!value.empty() && value.back() == '\n') value.pop_back();
        m_map[section + kKeySeparator + key] = TrimLeft(value);
    }
    return std::feof(file.get()) ? TRUE : FALSE;
}

BOOL CResourceFile::GetString(const char *key, CString &text) const {
    text.clear();
    auto entry = m_map.find(CString(kStringSection) + kKeySeparator + key);
    if (entry == m_map.end()) return FALSE;
    text = entry->second;
    return TRUE;
}

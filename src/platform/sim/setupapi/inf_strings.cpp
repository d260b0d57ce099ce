#include "platform/sim/setupapi/inf_strings.h"

#include <cstdio>
#include <cstring>

namespace sim::setupapi {
namespace {

constexpr std::uint32_t kEmptySlot = 0xFFFFFFFF;

// Eight bits of a key's hash beside its slot: a probe reads the line of a
// slot (parses it) only when they match.
std::uint8_t TagOf(std::uint32_t hash) { return static_cast<std::uint8_t>(hash >> 24); }
constexpr win::WORD kPrimaryLanguageMask = 0x03FF;
constexpr long kInfFolderId = 1;
constexpr long kUserProfileId = 53;
// Ids that stand for no folder at all: DIRID_NULL, and DIRID_ABSOLUTE in
// its two spellings (-1, and 0xFFFF as 16-bit INFs write it).
constexpr long kNoFolderIds[] = {0, -1, 0xFFFF};
// Ids below the shell folders' (16384), negative ones too, are the
// system's; one the machine does not define is a folder of that name that
// nothing else uses.
constexpr long kFirstShellFolderId = 0x4000;
constexpr char kUnknownFolder[] = "\\unknown";
constexpr long kMaxLong = 0x7FFFFFFF;  // Windows' LONG

int FindStringsSection(const InfFile &file, win::LANGID language) {
    char name[16];
    std::snprintf(name, sizeof name, "Strings.%04x", static_cast<unsigned>(language));
    return file.FindSection(name);
}

bool IsBlankByte(char c) { return (c >= '\t' && c <= '\r') || c == ' '; }

// The whole token as a decimal number, as wcstol reads it (leading blanks,
// a sign); false when anything else is in it.
bool ParseDirectoryId(std::string_view token, long *id) {
    std::size_t i = 0;
    while (i < token.size() && IsBlankByte(token[i])) ++i;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    const std::size_t digits = i;
    long long value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i)
        if (value <= kMaxLong) value = 10 * value + (token[i] - '0');
    if (i == digits || i != token.size()) return false;
    if (value > kMaxLong) value = negative ? kMaxLong + 1LL : kMaxLong;
    *id = static_cast<long>(negative ? -value : value);
    return true;
}

}  // namespace

DirectoryIds::DirectoryIds(const std::string &windows, const std::string &system, const std::string &userProfile) {
    if (windows.empty() || system.empty()) return;
    const std::string root = windows.size() >= 2 && windows[1] == ':' ? windows.substr(0, 2) + "\\" : windows;
    m_folders = {
        {10, windows},
        {11, system},
        {12, system + "\\drivers"},
        {17, windows + "\\inf"},
        {18, windows + "\\Help"},
        {20, windows + "\\Fonts"},
        {21, system + "\\viewers"},
        {23, system + "\\spool\\drivers\\color"},
        {24, root},
        {25, windows},
        {30, root},
        {50, windows + "\\system"},
        {51, system + "\\spool"},
        {52, system + "\\spool\\drivers"},
        {54, root},
        {55, system + "\\spool\\prtprocs\\w32x86"},
    };
    // Without a profile 53 stays as written: the id is defined, its folder is not known.
    if (!userProfile.empty()) m_folders.emplace_back(kUserProfileId, userProfile);
    m_unknown = system + kUnknownFolder;
}

bool DirectoryIds::Folder(long id, std::string_view *folder) const {
    for (const auto &entry : m_folders)
        if (entry.first == id) {
            *folder = entry.second;
            return true;
        }
    for (long none : kNoFolderIds)
        if (id == none) {
            *folder = "";  // an empty text that still points somewhere, for the copy that follows
            return true;
        }
    if (id >= kFirstShellFolderId || id == kUserProfileId || m_unknown.empty()) return false;
    *folder = m_unknown;
    return true;
}

int ChooseStringsSection(const InfFile &file, const StringsChoice &choice) {
    if (choice.preferLanguage) {
        int section = FindStringsSection(file, choice.language);
        if (section == InfFile::kNoSection)
            section = FindStringsSection(file, static_cast<win::LANGID>(choice.language & kPrimaryLanguageMask));
        if (section != InfFile::kNoSection) return section;
    }
    return file.FindSection("Strings");
}

StringTable::StringTable(const InfFile &file, int stringsSection, const DirectoryIds &directories,
                         std::string infFolder)
    : m_file(file), m_section(stringsSection), m_directories(directories), m_infFolder(std::move(infFolder)) {}

bool StringTable::Lookup(std::string_view token, bool backslashFollows, std::string_view *replacement) const {
    if (token.empty()) {
        *replacement = "%";
        return true;
    }
    if (LookupString(token, replacement)) return true;
    long id = 0;
    if (!ParseDirectoryId(token, &id)) return false;
    if (id == kInfFolderId) {
        if (m_infFolder.empty()) return false;
        *replacement = m_infFolder;
    } else if (!m_directories.Folder(id, replacement)) {
        return false;
    }
    if (backslashFollows && !replacement->empty() && replacement->back() == '\\') replacement->remove_suffix(1);
    return true;
}

void StringTable::BuildIndex() const {
    const InfSection &section = m_file.Section(static_cast<std::uint32_t>(m_section));
    std::size_t size = 16;
    while (size < 2 * section.lineCount) size *= 2;
    m_slots.assign(size, kEmptySlot);
    m_tags.assign(size, 0);
    const CodePageText &codePage = m_file.CodePage();
    InfLineFields line;
    InfLineFields other;
    for (std::uint32_t i = 0; i < section.lineCount; ++i) {
        m_file.ReadLine(section, i, &line);
        if (!line.HasKey()) continue;
        const std::string_view key = line.Key();
        const std::uint32_t hash = codePage.Hash(key);
        std::size_t slot = hash & (size - 1);
        for (; m_slots[slot] != kEmptySlot; slot = (slot + 1) & (size - 1)) {
            if (m_tags[slot] != TagOf(hash)) continue;
            m_file.ReadLine(section, m_slots[slot], &other);
            if (codePage.Equal(other.Key(), key)) break;
        }
        if (m_slots[slot] != kEmptySlot) continue;  // the first of repeated keys wins
        m_slots[slot] = i;
        m_tags[slot] = TagOf(hash);
    }
}

bool StringTable::LookupString(std::string_view token, std::string_view *value) const {
    if (m_section == InfFile::kNoSection) return false;
    std::call_once(m_indexBuilt, [this] { BuildIndex(); });
    const InfSection &section = m_file.Section(static_cast<std::uint32_t>(m_section));
    const CodePageText &codePage = m_file.CodePage();
    const std::size_t mask = m_slots.size() - 1;
    const std::uint32_t hash = codePage.Hash(token);
    InfLineFields line;
    for (std::size_t slot = hash & mask; m_slots[slot] != kEmptySlot; slot = (slot + 1) & mask) {
        if (m_tags[slot] != TagOf(hash)) continue;
        m_file.ReadLine(section, m_slots[slot], &line);
        if (!codePage.Equal(line.Key(), token)) continue;
        if (line.ValueCount() == 0) return false;
        *value = line.Value(0);
        return true;
    }
    return false;
}

std::string_view SubstitutedText::Of(std::string_view raw, const StringTable &strings, const CodePageText &codePage) {
    const void *percent = std::memchr(raw.data(), '%', raw.size());
    if (percent == nullptr) return raw;
    m_length = 0;
    m_chars = 0;
    std::size_t start = 0;
    bool inToken = false;
    for (std::size_t i = static_cast<const char *>(percent) - raw.data(); i < raw.size(); ++i) {
        if (raw[i] != '%') continue;
        inToken = !inToken;
        if (inToken) {  // text up to the token goes as it is
            Append(raw.substr(start, i - start), codePage);
            start = i;
            continue;
        }
        std::string_view replacement;
        const bool backslashFollows = i + 1 < raw.size() && raw[i + 1] == '\\';
        if (!strings.Lookup(raw.substr(start + 1, i - start - 1), backslashFollows, &replacement))
            replacement = raw.substr(start, i - start + 1);
        Append(replacement, codePage);
        start = i + 1;
    }
    if (start < raw.size()) Append(raw.substr(start), codePage);  // an open token stays as written
    return std::string_view(m_buffer, m_length);
}

void SubstitutedText::Append(std::string_view text, const CodePageText &codePage) {
    const std::size_t length = codePage.PrefixBytes(text, kMaxChars - m_chars);
    std::memcpy(m_buffer + m_length, text.data(), length);
    m_length += length;
    m_chars += codePage.CountChars(text.substr(0, length));
}

}  // namespace sim::setupapi

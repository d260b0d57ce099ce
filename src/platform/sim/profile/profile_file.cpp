#include "platform/sim/profile/profile_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/sim/profile/profile_line.h"
#include "platform/sim/profile/profile_text.h"
#include "platform/sim/text/codepage.h"

namespace sim {
namespace {

std::string_view CutAtNul(const char *begin, const char *end) {
    const std::size_t length = static_cast<std::size_t>(end - begin);
    const void *nul = std::memchr(begin, '\0', length);
    return std::string_view(begin, nul != nullptr ? static_cast<std::size_t>(static_cast<const char *>(nul) - begin)
                                                  : length);
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; }

}  // namespace

bool ProfileFile::Entries::Next(ProfileEntry *entry) {
    while (m_position < m_end) {
        // A section's body holds no header: every line is blank or an entry.
        const ProfileLine line = ReadProfileLine(m_position, m_end, m_codePage);
        m_position = line.next;
        if (line.kind != ProfileLine::kEntry) continue;
        if (line.nameBegin == line.nameEnd && m_previousNameless) continue;
        entry->name = CutAtNul(line.nameBegin, line.nameEnd);
        entry->hasValue = line.equals != nullptr;
        entry->value = std::string_view();
        if (entry->hasValue) {
            const char *valueBegin = line.equals + 1;
            while (valueBegin < line.end && IsProfileBlank(*valueBegin)) ++valueBegin;
            entry->value = CutAtNul(valueBegin, line.end);
        }
        m_previousNameless = entry->name.empty();
        return true;
    }
    return false;
}

ProfileFile::ProfileFile(std::string bytes, win::UINT codePage) : m_codePage(codePage) {
    AnsiProfileText ansi = ToAnsiProfileText(std::move(bytes), codePage);
    // Sections are indexed by 32-bit offsets; no profile file comes near
    // 4 GB, and one that does is read as empty.
    if (ansi.text.size() >= std::numeric_limits<std::uint32_t>::max()) return;
    m_text = std::move(ansi.text);
    m_unmatchableNames = std::move(ansi.unmatchableNames);

    const char *const text = m_text.data();
    const char *const textEnd = text + m_text.size();
    auto offset = [text](const char *p) { return static_cast<std::uint32_t>(p - text); };
    for (const char *lineStart = text; lineStart < textEnd;) {
        const ProfileLine line = ReadProfileLine(lineStart, textEnd, codePage);
        if (line.kind == ProfileLine::kHeader) {
            if (!m_sections.empty()) m_sections.back().bodyEnd = offset(lineStart);
            const std::string_view name = CutAtNul(line.nameBegin, line.nameEnd);
            m_sections.push_back({offset(line.nameBegin), static_cast<std::uint32_t>(name.size()),
                                  offset(line.next), offset(textEnd)});
        }
        lineStart = line.next;
    }
}

bool ProfileFile::NameIs(std::string_view name, const std::string &wantedUpper) const {
    if (name.size() != wantedUpper.size()) return false;
    if (!m_unmatchableNames.empty() &&
        std::binary_search(m_unmatchableNames.begin(), m_unmatchableNames.end(),
                           static_cast<std::uint32_t>(name.data() - m_text.data())))
        return false;
    // Up to the first byte above ASCII no double-byte character has begun,
    // so those letters upper-case on their own.
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (static_cast<unsigned char>(name[i]) >= 0x80)
            return AnsiUpper(std::string(name), m_codePage) == wantedUpper;
        if (AsciiUpper(name[i]) != wantedUpper[i]) return false;
    }
    return true;
}

const ProfileFile::Section *ProfileFile::FindSection(const std::string &wantedUpper) const {
    for (const Section &section : m_sections)
        if (NameIs(Name(section), wantedUpper)) return &section;
    return nullptr;
}

std::size_t ProfileFile::HeldBytes() const {
    return sizeof *this + m_text.capacity() + m_sections.capacity() * sizeof(Section) +
           m_unmatchableNames.capacity() * sizeof(std::uint32_t);
}

}  // namespace sim

// INI files as GetPrivateProfileStringA reads them: the file's text in the
// ANSI code page, held once, with the sections indexed by offsets into it.
// A section's lines are read when a lookup walks them, so a file costs
// little more than its own size however many keys it has.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace sim {

// A line of a section as lookups see it. Names and values are views into
// the file's text, trimmed and cut at a NUL.
struct ProfileEntry {
    std::string_view name;
    bool hasValue = false;  // the line had "="
    std::string_view value;
};

class ProfileFile {
public:
    struct Section {
        std::uint32_t nameBegin;
        std::uint32_t nameLength;  // up to a NUL in the name
        std::uint32_t bodyBegin;   // the line after the header
        std::uint32_t bodyEnd;     // the next header, or the end of the text
    };

    // A section's entries in file order. A nameless line right after
    // another nameless one is dropped, as Windows' reader does.
    class Entries {
    public:
        Entries(const char *begin, const char *end, win::UINT codePage)
            : m_position(begin), m_end(end), m_codePage(codePage) {}
        bool Next(ProfileEntry *entry);

    private:
        const char *m_position;
        const char *m_end;
        win::UINT m_codePage;
        bool m_previousNameless = false;
    };

    ProfileFile() = default;  // a file that could not be read: no sections
    // Parses a whole file of `bytes` (see ToAnsiProfileText for Unicode
    // files). Lines before the first section header belong to none, and
    // no lookup reaches them.
    ProfileFile(std::string bytes, win::UINT codePage);

    const std::vector<Section> &Sections() const { return m_sections; }  // file order, repeats included
    std::string_view Name(const Section &section) const {
        return std::string_view(m_text.data() + section.nameBegin, section.nameLength);
    }
    Entries EntriesOf(const Section &section) const {
        return Entries(m_text.data() + section.bodyBegin, m_text.data() + section.bodyEnd, m_codePage);
    }

    // Whether `name`, a section's or an entry's name from this file, is
    // `wantedUpper` (upper-cased in the code page) without regard to case.
    bool NameIs(std::string_view name, const std::string &wantedUpper) const;
    // The first section named `wantedUpper`, or null.
    const Section *FindSection(const std::string &wantedUpper) const;

    // Heap and object bytes this file holds while it is kept.
    std::size_t HeldBytes() const;

private:
    win::UINT m_codePage = 0;
    std::string m_text;
    std::vector<Section> m_sections;
    std::vector<std::uint32_t> m_unmatchableNames;  // see AnsiProfileText
};

}  // namespace sim

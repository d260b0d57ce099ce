// One parsed INF file: its sections, lines and fields as the setup API
// sees them before string substitution. All text lives in two buffers
// (the file's text itself, and the tokens the parser had to put together
// from pieces); sections, lines and fields are small records of offsets.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/setupapi/code_page_text.h"

namespace sim::setupapi {

// A stretch of text: an offset into the file's text, or past its end into
// the assembled tokens.
struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

struct InfLine {
    static constexpr std::uint32_t kNoKey = 0xFFFFFFFF;
    std::uint32_t keyField = kNoKey;  // the key's field, or kNoKey
    std::uint32_t firstField = 0;     // value fields follow one another
    std::uint32_t fieldCount = 0;
};

struct InfSection {
    TextRef name;
    std::uint32_t firstLine = 0;  // a section's lines follow one another
    std::uint32_t lineCount = 0;
};

class InfFile {
public:
    static constexpr int kNoSection = -1;

    InfFile(std::string text, std::shared_ptr<const CodePageText> codePage);

    const CodePageText &CodePage() const { return *m_codePage; }
    std::string_view Text(TextRef ref) const {
        return ref.offset < m_text.size()
                   ? std::string_view(m_text.data() + ref.offset, ref.length)
                   : std::string_view(m_assembled.data() + (ref.offset - m_text.size()), ref.length);
    }

    std::uint32_t SectionCount() const { return static_cast<std::uint32_t>(m_sections.size()); }
    const InfSection &Section(std::uint32_t index) const { return m_sections[index]; }
    std::string_view SectionName(std::uint32_t index) const { return Text(m_sections[index].name); }
    // The section of that name (without regard to case), or kNoSection.
    int FindSection(std::string_view name) const { return FindSection(name, m_codePage->Hash(name)); }
    int FindSection(std::string_view name, std::uint32_t hash) const;

    const InfLine &LineAt(const InfSection &section, std::uint32_t index) const {
        return m_lines[section.firstLine + index];
    }
    std::string_view FieldText(std::uint32_t field) const { return Text(m_fields[field]); }

    // The text of the first value of the first line of `section` whose raw
    // key is `key` (without regard to case); false when there is none.
    bool RawValue(std::string_view section, std::string_view key, std::string_view *value) const;

private:
    friend class InfParser;

    std::uint32_t AddSection(TextRef name, std::uint32_t hash);
    void Place(std::uint64_t slot);

    std::string m_text;
    std::string m_assembled;
    std::shared_ptr<const CodePageText> m_codePage;
    std::vector<TextRef> m_fields;
    std::vector<InfLine> m_lines;
    std::vector<InfSection> m_sections;
    // Open-addressing table of sections by name: the name's hash in the
    // high half of a slot, the section's index + 1 in the low half (0:
    // empty); a power of two in size, at most half full.
    std::vector<std::uint64_t> m_sectionSlots;
};

}  // namespace sim::setupapi

// One parsed INF file: its sections and lines as the setup API sees them
// before string substitution. The file's text is kept as it was read; a
// line is kept as the offset where its text begins, and its key and values
// are read again from there when they are asked for (a printer INF has
// millions of short lines, and most are never read). Only a line with a
// token the parser had to put together from pieces (quotes inside a word,
// joined lines, NUL bytes) keeps its fields, in a buffer of such tokens.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/setupapi/chunked_array.h"
#include "platform/sim/setupapi/code_page_text.h"
#include "platform/sim/setupapi/text_buffer.h"

namespace sim::setupapi {

// A stretch of text: an offset into the file's text, or past its end into
// the assembled tokens.
struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

struct InfSection {
    std::uint32_t firstLine = 0;  // a section's lines follow one another
    std::uint32_t lineCount = 0;
};

// The key and values of one line, as read from the file's text; the views
// live as long as the file.
class InfLineFields {
public:
    bool HasKey() const { return m_hasKey; }
    std::string_view Key() const { return m_key; }
    std::uint32_t ValueCount() const { return m_count; }
    std::string_view Value(std::uint32_t index) const {
        return index < kInlineValues ? m_inline[index] : m_more[index - kInlineValues];
    }

    void Clear() {
        m_hasKey = false;
        m_key = std::string_view();
        m_count = 0;
        m_more.clear();
    }
    void AddKey(std::string_view key) {
        m_hasKey = true;
        m_key = key;
    }
    void AddValue(std::string_view value) {
        if (m_count < kInlineValues) m_inline[m_count] = value;
        else m_more.push_back(value);
        ++m_count;
    }
    // A line with one value and no "=" has that value as its key too.
    void Close() {
        if (!m_hasKey && m_count == 1) AddKey(m_inline[0]);
    }

private:
    // Most lines have a few values: they are read without allocating.
    static constexpr std::uint32_t kInlineValues = 8;

    bool m_hasKey = false;
    std::string_view m_key;
    std::uint32_t m_count = 0;
    std::array<std::string_view, kInlineValues> m_inline;
    std::vector<std::string_view> m_more;
};

class InfFile {
public:
    static constexpr int kNoSection = -1;

    // What the parser needs to know of the text to read a line of it.
    struct SyntaxTables {
        std::array<unsigned char, 256> byteClasses{};  // the parser's class of every byte
        bool leadBytesAboveAscii = false;
        bool anyLeadBytes = false;
        bool textHasNul = false;  // before the text's end
    };

    InfFile(TextBuffer text, std::shared_ptr<const CodePageText> codePage);

    const CodePageText &CodePage() const { return *m_codePage; }
    std::string_view Text(TextRef ref) const {
        return ref.offset < m_text.Size()
                   ? std::string_view(m_text.Data() + ref.offset, ref.length)
                   : std::string_view(m_assembled.data() + (ref.offset - m_text.Size()), ref.length);
    }

    std::uint32_t SectionCount() const { return static_cast<std::uint32_t>(m_sectionNames.Size()); }
    InfSection Section(std::uint32_t index) const {
        return {m_sectionFirstLines[index], m_sectionFirstLines[index + 1] - m_sectionFirstLines[index]};
    }
    std::string_view SectionName(std::uint32_t index) const;
    // The section of that name (without regard to case), or kNoSection.
    int FindSection(std::string_view name) const { return FindSection(name, m_codePage->Hash(name)); }
    int FindSection(std::string_view name, std::uint32_t hash) const;

    // The key and values of line `index` of `section`.
    void ReadLine(const InfSection &section, std::uint32_t index, InfLineFields *fields) const;

    // The text of the first value of the first line of `section` whose raw
    // key is `key` (without regard to case); false when there is none.
    bool RawValue(std::string_view section, std::string_view key, std::string_view *value) const;

private:
    friend class InfParser;
    friend void ReadLineFields(const InfFile &file, std::uint32_t offset, InfLineFields *fields);
    friend void ReadPlainLineFields(const InfFile &file, std::uint32_t offset, InfLineFields *fields);

    // A line kept with its fields; its entry in m_lines is kKeptLine | its
    // index here.
    struct KeptLine {
        static constexpr std::uint32_t kNoKey = 0xFFFFFFFF;
        std::uint32_t keyField = kNoKey;  // the key's field, or kNoKey
        std::uint32_t firstField = 0;     // value fields follow one another
        std::uint32_t fieldCount = 0;
    };
    // Texts are at most 1 GB, so an offset leaves the top two bits free.
    static constexpr std::uint32_t kKeptLine = 0x80000000u;
    // A line the parser passed over as plain: split at its separators.
    static constexpr std::uint32_t kPlainLine = 0x40000000u;

    // Builds the table of sections by name over the headers read; false
    // when a name came twice (the table then holds the first of each).
    bool IndexSections();

    TextBuffer m_text;
    std::string m_assembled;
    std::shared_ptr<const CodePageText> m_codePage;
    std::uint32_t m_textEnd = 0;  // ^Z ends the text
    SyntaxTables m_syntax;
    // Per line: the offset of its text, where its first token begins (with
    // kPlainLine for a plain one), or kKeptLine | the index of its
    // KeptLine.
    ChunkedArray<std::uint32_t> m_lines;
    std::vector<KeptLine> m_keptLines;
    std::vector<TextRef> m_keptFields;
    // Per section, in the order of first appearance: where its name
    // begins, in the text or among the assembled tokens (a name ends at
    // its "]", which the assembled ones get too), and its first line; then
    // one more first line, the number of lines.
    ChunkedArray<std::uint32_t> m_sectionNames;
    ChunkedArray<std::uint32_t> m_sectionFirstLines;
    // Open-addressing table of sections by name: a section's index + 1 (0:
    // empty), three quarters full, and beside each slot 8 bits of the
    // name's hash, so that a probe seldom compares names. A printer INF may
    // have a million sections of one line: this is 7 bytes a section.
    std::vector<std::uint32_t> m_sectionSlots;
    std::vector<std::uint8_t> m_sectionTags;
};

}  // namespace sim::setupapi

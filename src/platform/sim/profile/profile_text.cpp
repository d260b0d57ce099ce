#include "platform/sim/profile/profile_text.h"

#include <cstring>
#include <utility>

#include "platform/sim/profile/profile_line.h"
#include "platform/sim/text/codepage.h"
#include "platform/sim/text/unicode.h"

namespace sim {
namespace {

bool IsAscii(const char *begin, const char *end) {
    for (; begin < end; ++begin)
        if (static_cast<unsigned char>(*begin) >= 0x80) return false;
    return true;
}

bool IsLineBreak(char32_t c) { return c == '\r' || c == '\n'; }

// Builds the ANSI text from Unicode text given as lines of UTF-8. Line
// breaks and blanks are ASCII and stay where they are, and conversion
// goes character by character, so each line's names and values come out
// as they would converted one by one.
class AnsiTextBuilder {
public:
    AnsiTextBuilder(win::UINT codePage, std::size_t expectedSize) : m_codePage(codePage) {
        m_result.text.reserve(expectedSize);
    }

    // One line of UTF-8, without its line break.
    void AppendLine(const char *begin, const char *end) {
        if (IsAscii(begin, end)) {
            m_result.text.append(begin, end);
            return;
        }
        // UTF-8 has no lead bytes whose trail could be taken for "]".
        const ProfileLine line = ReadProfileLine(begin, end, 0);
        // Only blanks and a "[" stand before the name: its offset in the
        // converted line is the same.
        if (line.kind != ProfileLine::kBlank && !CodePageHolds(line.nameBegin, line.nameEnd))
            m_result.unmatchableNames.push_back(
                static_cast<std::uint32_t>(m_result.text.size() + static_cast<std::size_t>(line.nameBegin - begin)));
        m_result.text += Utf8ToAnsi(std::string(begin, end), m_codePage);
    }

    void AppendBreak(char c) { m_result.text.push_back(c); }

    AnsiProfileText Finish() {
        std::string &text = m_result.text;
        if (text.capacity() - text.size() > text.size() / 4) text.shrink_to_fit();
        return std::move(m_result);
    }

private:
    // Whether the name in [begin, end), cut at a NUL, comes back the same
    // from the code page.
    bool CodePageHolds(const char *begin, const char *end) const {
        const void *nul = std::memchr(begin, '\0', static_cast<std::size_t>(end - begin));
        if (nul != nullptr) end = static_cast<const char *>(nul);
        if (IsAscii(begin, end)) return true;
        const std::string utf8(begin, end);
        return AnsiToUtf8(Utf8ToAnsi(utf8, m_codePage), m_codePage) == utf8;
    }

    win::UINT m_codePage;
    AnsiProfileText m_result;
};

AnsiProfileText FromUtf8(const char *begin, const char *end, win::UINT codePage) {
    AnsiTextBuilder builder(codePage, static_cast<std::size_t>(end - begin));
    for (const char *lineStart = begin; lineStart < end;) {
        const char *lineEnd = lineStart;
        while (lineEnd < end && !IsLineBreak(static_cast<unsigned char>(*lineEnd))) ++lineEnd;
        builder.AppendLine(lineStart, lineEnd);
        if (lineEnd == end) break;
        builder.AppendBreak(*lineEnd);
        lineStart = lineEnd + 1;
    }
    return builder.Finish();
}

// UTF-16 text, an odd last byte dropped. A surrogate pair never spans a
// line break, so lines decode on their own as they would in one piece.
AnsiProfileText FromUtf16(const char *bytes, std::size_t length, bool bigEndian, win::UINT codePage) {
    const std::size_t units = length / 2;
    auto unit = [&](std::size_t i) -> char32_t {
        const unsigned char a = static_cast<unsigned char>(bytes[2 * i]);
        const unsigned char b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    AnsiTextBuilder builder(codePage, units);
    std::string line;
    for (std::size_t lineStart = 0; lineStart < units;) {
        std::size_t lineEnd = lineStart;
        bool ascii = true;
        for (; lineEnd < units && !IsLineBreak(unit(lineEnd)); ++lineEnd) ascii = ascii && unit(lineEnd) < 0x80;
        if (ascii) {
            line.clear();
            for (std::size_t i = lineStart; i < lineEnd; ++i) line.push_back(static_cast<char>(unit(i)));
        } else {
            line = EncodeUtf8(DecodeUtf16(bytes + 2 * lineStart, 2 * (lineEnd - lineStart), bigEndian));
        }
        builder.AppendLine(line.data(), line.data() + line.size());
        if (lineEnd == units) break;
        builder.AppendBreak(static_cast<char>(unit(lineEnd)));
        lineStart = lineEnd + 1;
    }
    return builder.Finish();
}

}  // namespace

AnsiProfileText ToAnsiProfileText(std::string bytes, win::UINT codePage) {
    auto startsWith = [&](const char *mark, std::size_t length) {
        return bytes.size() >= length && std::memcmp(bytes.data(), mark, length) == 0;
    };
    const char *const end = bytes.data() + bytes.size();
    if (startsWith("\xFF\xFE", 2)) return FromUtf16(bytes.data() + 2, bytes.size() - 2, false, codePage);
    if (startsWith("\xFE\xFF", 2)) return FromUtf16(bytes.data() + 2, bytes.size() - 2, true, codePage);
    if (startsWith("\xEF\xBB\xBF", 3)) return FromUtf8(bytes.data() + 3, end, codePage);
    AnsiProfileText ansi;
    ansi.text = std::move(bytes);
    return ansi;
}

}  // namespace sim

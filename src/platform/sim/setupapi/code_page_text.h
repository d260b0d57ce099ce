// How the INF engine reads text of one ANSI code page: which bytes are
// blanks, which begin a double-byte character, and how names compare
// without regard to case (Windows upper-cases both sides).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace sim::setupapi {

class CodePageText {
public:
    // With `wideCharTags`, the text of Unicode files: the tag leads of
    // wide_chars.h are lead bytes too.
    explicit CodePageText(win::UINT codePage, bool wideCharTags = false);

    win::UINT CodePage() const { return m_codePage; }
    bool IsDoubleByte() const { return m_doubleByte; }
    bool HasWideCharTags() const { return m_wideCharTags; }
    bool IsLead(unsigned char c) const { return m_lead[c]; }
    // Blanks as Windows' parser sees them: tab, LF, VT, FF, CR, space, and
    // the bytes of the code page that stand for Unicode spaces (no-break
    // space ...).
    bool IsBlank(unsigned char c) const { return m_blank[c]; }

    // Bytes taken by the first `maxChars` characters of `text` (a
    // double-byte character counts once and is never split).
    std::size_t PrefixBytes(std::string_view text, std::size_t maxChars) const {
        if (m_doubleByte) return DoubleBytePrefix(text, maxChars);
        return text.size() < maxChars ? text.size() : maxChars;
    }
    std::size_t CountChars(std::string_view text) const {
        return m_doubleByte ? DoubleByteCount(text) : text.size();
    }

    // Hash and equality of names compared without regard to case.
    std::uint32_t Hash(std::string_view name) const;
    bool Equal(std::string_view a, std::string_view b) const;

private:
    std::size_t DoubleBytePrefix(std::string_view text, std::size_t maxChars) const;
    std::size_t DoubleByteCount(std::string_view text) const;

    win::UINT m_codePage;
    bool m_wideCharTags;
    bool m_doubleByte = false;
    std::array<bool, 256> m_lead{};
    std::array<bool, 256> m_blank{};
    std::array<unsigned char, 256> m_upper{};
};

}  // namespace sim::setupapi

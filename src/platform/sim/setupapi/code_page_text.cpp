#include "platform/sim/setupapi/code_page_text.h"

#include <string>

#include "platform/sim/setupapi/wide_chars.h"
#include "platform/sim/text/codepage.h"
#include "platform/sim/text/unicode.h"

namespace sim::setupapi {
namespace {

bool IsUnicodeSpace(char32_t c) {
    return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

constexpr std::uint32_t kHashBasis = 2166136261u;
constexpr std::uint32_t kHashPrime = 16777619u;

}  // namespace

CodePageText::CodePageText(win::UINT codePage, bool wideCharTags)
    : m_codePage(codePage), m_wideCharTags(wideCharTags) {
    for (int b = 0; b < 256; ++b) {
        const unsigned char c = static_cast<unsigned char>(b);
        m_lead[b] = IsLeadByte(c, codePage) || (wideCharTags && IsTagLead(c));
        m_doubleByte = m_doubleByte || m_lead[b];
        m_blank[b] = (c >= 0x09 && c <= 0x0D) || c == ' ';
        m_upper[b] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 0x20 : c);
        if (c < 0x80 || m_lead[b]) continue;
        const std::string byte(1, static_cast<char>(c));
        const std::u32string decoded = DecodeUtf8(AnsiToUtf8(byte, codePage));
        m_blank[b] = decoded.size() == 1 && IsUnicodeSpace(decoded[0]);
        const std::string upper = AnsiUpper(byte, codePage);
        if (upper.size() == 1) m_upper[b] = static_cast<unsigned char>(upper[0]);
    }
}

std::size_t CodePageText::DoubleBytePrefix(std::string_view text, std::size_t maxChars) const {
    std::size_t i = 0;
    for (std::size_t chars = 0; i < text.size() && chars < maxChars; ++chars)
        i += (m_lead[static_cast<unsigned char>(text[i])] && i + 1 < text.size()) ? 2 : 1;
    return i;
}

std::size_t CodePageText::DoubleByteCount(std::string_view text) const {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++chars)
        i += (m_lead[static_cast<unsigned char>(text[i])] && i + 1 < text.size()) ? 2 : 1;
    return chars;
}

std::uint32_t CodePageText::Hash(std::string_view name) const {
    std::uint32_t hash = kHashBasis;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        hash = (hash ^ m_upper[c]) * kHashPrime;
        if (m_lead[c] && i + 1 < name.size())  // the trail byte is taken as it stands
            hash = (hash ^ static_cast<unsigned char>(name[++i])) * kHashPrime;
    }
    // FNV's low bits see only the low bits of what came before, and the
    // tables take a hash's low bits: names that differ late (I000001,
    // I000002 ...) would crowd together. A final mix spreads every bit.
    hash ^= hash >> 16;
    hash *= 0x85EBCA6Bu;
    hash ^= hash >> 13;
    return hash;
}

bool CodePageText::Equal(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[i]);
        if (m_upper[ca] != m_upper[cb]) return false;
        if (m_lead[ca] && i + 1 < a.size()) {
            ++i;
            if (a[i] != b[i]) return false;
        }
    }
    return true;
}

}  // namespace sim::setupapi

// The text of a Unicode INF file in the engine. The engine reads ANSI text
// of the machine's code page; a Unicode file's characters that the code
// page has (round trips) are kept as their ANSI bytes, and every other
// character as a two-byte tag: a lead byte among the control characters
// the ANSI file text never needs as such (0x01..0x08, 0x0E..0x19,
// 0x1B..0x1F, 0x7F; those characters themselves are tagged too) and a
// trail byte 0x40..0xFF that numbers the character in the engine's tag
// table. The parser and the name comparisons see a tag as one double-byte
// character, so names that differ in the file stay different, and no name
// an ANSI program passes can match one (as Windows compares in Unicode).
// Text handed out by the A functions is "presented": each tag becomes the
// code page's best fit for its character, or "?".
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/types.h"

namespace sim::setupapi {

constexpr bool IsTagLead(unsigned char c) {
    return (c >= 0x01 && c <= 0x08) || (c >= 0x0E && c <= 0x19) || (c >= 0x1B && c <= 0x1F) || c == 0x7F;
}

// The characters tagged so far, shared by every file the engine loads (so
// that a name compares across appended files). Thread-safe.
class WideCharTags {
public:
    explicit WideCharTags(win::UINT codePage) : m_codePage(codePage) {}

    // `text` as engine text.
    std::string Tagged(const std::u32string &text);
    // ANSI text of an A function's name argument as engine text: only its
    // control characters change.
    std::string NameOf(std::string_view ansi);
    // Engine text as the A functions hand it out.
    std::string Presented(std::string_view text) const;

private:
    void AppendTag(char32_t c, std::string *out);

    win::UINT m_codePage;
    mutable std::mutex m_lock;
    std::vector<char32_t> m_chars;
    std::unordered_map<char32_t, std::uint16_t> m_numbers;
};

// Whether `text` holds a tag lead byte, that is needs presenting.
bool HasTagLead(std::string_view text);

}  // namespace sim::setupapi

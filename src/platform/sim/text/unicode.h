// Unicode helpers of the simulated machine: UTF-8 and UTF-16 decoding and
// encoding, and the upper-casing Windows uses to compare names without
// regard to case.
#pragma once

#include <cstddef>
#include <string>

namespace sim {

constexpr char32_t kReplacementChar = 0xFFFD;

// Code points of UTF-8 text; every malformed sequence gives one U+FFFD.
std::u32string DecodeUtf8(const std::string &utf8);
std::string EncodeUtf8(const std::u32string &text);

// Code points of UTF-16 bytes (no byte-order mark); an unpaired surrogate
// gives U+FFFD, an odd last byte is dropped.
std::u32string DecodeUtf16(const char *bytes, std::size_t length, bool bigEndian);

// The upper-case form of `c` (simple case mapping), as Windows upper-cases
// names before comparing them; `c` itself when it has none.
char32_t UnicodeUpper(char32_t c);

// UTF-8 text as upper-cased UTF-16 code units: NTFS compares file names
// this way, ordinally.
std::u16string UpcasedUtf16(const std::string &utf8);

}  // namespace sim

// text/: the text conversions every service of the simulated machine
// shares: ANSI code pages, UTF-8 and UTF-16, and upper-casing names as
// Windows compares them. It rests on the host's iconv, with code page 1252
// built in.
//
// The machine's ANSI code page: conversions into and out of it, and its
// double-byte lead bytes (code pages 932, 936, 949, 950).
#pragma once

#include <string>

#include "platform/types.h"

namespace sim {

// UTF-8 text as ANSI bytes of `codePage`; characters it lacks become
// their best fit, or "?".
std::string Utf8ToAnsi(const std::string &utf8, win::UINT codePage);
std::string AnsiToUtf8(const std::string &ansi, win::UINT codePage);
bool IsLeadByte(unsigned char c, win::UINT codePage);

// Appends the bytes of `c` in `codePage` when they read back as `c` (a
// round trip); false, with nothing appended, for a character the code page
// lacks (one that would become its best fit or "?").
bool AppendAnsiChar(char32_t c, win::UINT codePage, std::string *out);

// `ansi` with its letters in upper case, as Windows upper-cases names to
// compare them without regard to case; double-byte characters stay as they
// are.
std::string AnsiUpper(const std::string &ansi, win::UINT codePage);

}  // namespace sim

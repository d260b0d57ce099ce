// Line numbers in an INF file's text, to name where a cause stands: the
// setup API tells values, not the lines they came from.
#pragma once

#include <string>

namespace check {

// `text` without the blanks (space, tab, CR) around it, as the lines of
// INF and INI files are read.
std::string Trim(const std::string &text);

// The text of an INF file's bytes to count lines in: a UTF-16 file (as
// INF files of the NT family often are) with each character beyond ASCII
// as "?"; any other file as it is.
std::string InfLineText(std::string bytes);

// The line of the first `key` = ... line of [section] (names compared
// without regard to case); 0 when there is none.
int LineOfKey(const std::string &text, const std::string &section, const std::string &key);

// The first line of [section] that holds `needle` (compared without regard
// to case); 0 when there is none.
int LineHolding(const std::string &text, const std::string &section, const std::string &needle);

}  // namespace check

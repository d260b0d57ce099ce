// One line of INI text as the profile reader splits it: lines end at CR or
// LF; "[name]" up to the last "]" opens a section; anything else is an
// entry, "key=value" or a bare line.
#pragma once

#include "platform/types.h"

namespace sim {

// Blanks as the profile reader trims them: white space and Ctrl+Z.
bool IsProfileBlank(char c);

struct ProfileLine {
    enum Kind { kBlank, kHeader, kEntry };

    Kind kind = kBlank;
    // The section's name between the brackets, or the entry's name before
    // "=", trimmed (a NUL inside still to be cut).
    const char *nameBegin = nullptr;
    const char *nameEnd = nullptr;
    const char *equals = nullptr;  // an entry's first "=", if it has one
    const char *end = nullptr;     // where the trimmed line ends
    const char *next = nullptr;    // where the following line starts
};

// The line that starts at `start` (before `textEnd`). `codePage` tells
// which bytes lead a double-byte character, whose trail byte is no "]"
// (0 for text without such characters).
ProfileLine ReadProfileLine(const char *start, const char *textEnd, win::UINT codePage);

}  // namespace sim

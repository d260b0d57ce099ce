// A profile file's bytes as text of the machine's ANSI code page, the form
// in which GetPrivateProfileStringA hands out names and values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace sim {

struct AnsiProfileText {
    std::string text;
    // Where the section and key names start (offsets into `text`, in
    // order) that came from a Unicode file and that the code page cannot
    // hold: they show "?" for some characters. Windows compares names as
    // Unicode, so no ANSI argument finds such a name.
    std::vector<std::uint32_t> unmatchableNames;
};

// A byte-order mark selects UTF-16 (either byte order) or UTF-8, and the
// text is converted to `codePage` line by line; any other bytes are text
// of `codePage` already and are taken as they stand.
AnsiProfileText ToAnsiProfileText(std::string bytes, win::UINT codePage);

}  // namespace sim

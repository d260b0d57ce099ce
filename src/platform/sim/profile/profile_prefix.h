// A large profile file read only as far as one section needs: Windows
// takes a section's keys from the first section of that name, so a lookup
// there finds the same in the file's beginning, up to the header that
// follows that section, as in the whole file. A driver CD's INF of 50 MB
// is read for its [Version] keys in a few kilobytes.
#pragma once

#include <string>

#include "platform/types.h"

namespace sim {

// The bytes of the file at `hostPath` up to the header that follows its
// first section named `sectionUpper` (upper-cased in `codePage`), or to
// its end. False when the file cannot be read or begins with a byte-order
// mark: its text is converted whole, and read whole.
bool ReadProfilePrefix(const std::string &hostPath, win::UINT codePage, const std::string &sectionUpper,
                       std::string *bytes);

}  // namespace sim

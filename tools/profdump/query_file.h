// Query files (<case>.profq): one query per line, fields separated by TAB.
#pragma once

#include <string>
#include <vector>

#include "profile_probe.h"

namespace profdump {

using Query = std::vector<Arg>;

// The queries of the file at `path` (a host path); false when it cannot be
// read. Empty lines and lines starting with "#" are skipped, a trailing CR
// is dropped; a field "<null>" is a null pointer, and "\\", "\t", "\n",
// "\r" and "\xHH" are escapes.
bool ReadQueryFile(const std::string &path, std::vector<Query> *queries);

}  // namespace profdump

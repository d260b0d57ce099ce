// Query files (<case>.infq, <case>.profq): one query per line, fields
// separated by TAB. Empty lines and lines starting with "#" are skipped, a
// trailing CR is dropped; a field "<null>" is a null pointer, and "\\",
// "\t", "\n", "\r" and "\xHH" are escapes (any other "\" is itself).
#pragma once

#include <string>
#include <vector>

#include "dumpcommon/dump_arg.h"

namespace dumpcommon {

using Query = std::vector<Arg>;

// The queries of the file at `path` (a host path); false when it cannot be
// read.
bool ReadQueryFile(const std::string &path, std::vector<Query> *queries);

}  // namespace dumpcommon

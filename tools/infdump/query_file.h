// INF query files (<case>.infq): one query per line, fields separated by
// TAB. Empty lines and lines starting with "#" are skipped, a trailing CR
// is dropped; a field "<null>" is a null pointer, and "\\", "\t", "\n",
// "\r" and "\xHH" are escapes.
#pragma once

#include <string>
#include <vector>

#include "inf_dumper.h"

namespace infdump {

using Query = std::vector<Arg>;

// False when the file (a host path) cannot be read.
bool ReadQueryFile(const std::string &path, std::vector<Query> *queries);

// Runs one query ("count", "linetext", "find", "section") and prints its
// lines; anything else prints "query bad:" with its fields.
void RunQuery(const SetupApiCalls &api, win::HINF inf, InfDumper &dumper, const Query &query);

}  // namespace infdump

// The Windows path a dumper hands to the API for a path given on its
// command line: a path that already starts with a drive letter is taken as
// it stands; any other is a host path.
#pragma once

#include <string>

namespace dumpcommon {

std::string WindowsPathOf(const std::string &argument);

}  // namespace dumpcommon

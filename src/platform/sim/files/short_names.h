// MS-DOS 8.3 names of the simulated machine's files, as NTFS gives them.
#pragma once

#include <string>
#include <vector>

namespace sim {

// True when `name` (UTF-8) is a valid 8.3 name in itself, in any letter
// case; such a name has no separate short name.
bool IsShortName(const std::string &name);

// The short names of the entries of one folder, `names` (UTF-8) in listing
// order: empty for a name that is an 8.3 name itself, else the upper-case
// "PREFIX~N.EXT" form: up to six characters of the name without blanks and
// periods, "~", a number counting the entries that share the same prefix
// and extension in listing order (skipping names already taken), and up to
// three characters of the extension.
std::vector<std::string> ShortNames(const std::vector<std::string> &names);

}  // namespace sim

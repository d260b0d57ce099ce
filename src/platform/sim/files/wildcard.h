// File-name patterns as FindFirstFileA matches them.
#pragma once

#include <string>

namespace sim {

// True when `name` matches `pattern`, both upper-cased UTF-16 (see
// UpcasedUtf16). "*" and "?" follow the MS-DOS rules Windows keeps:
// "*." and "*.*" match names without an extension, "?" also matches
// nothing before a period or at the end of the name ("a?.txt" finds
// "a.txt"), and a "*" that stands before a period cannot run past the
// name's last period.
bool MatchesFilePattern(const std::u16string &pattern, const std::u16string &name);

}  // namespace sim

// Windows command lines as the simulated machine runs them on the host.
#pragma once

#include <string>
#include <vector>

namespace sim {

// The words of a command line: blanks and tabs separate them, double
// quotes group (and are removed).
std::vector<std::string> SplitCommandLine(const std::string &commandLine);

// The name a command line's program is known by in machine.ini
// [Programs]: its first word without folder and without ".exe" (any case).
std::string ProgramName(const std::string &firstWord);

}  // namespace sim

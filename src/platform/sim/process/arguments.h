// The process's argument vector as win::ArgumentCount / win::Arguments
// give it. main stores the host's arguments; tests may store their own.
#pragma once

#include <string>

#include "platform/types.h"

namespace sim {

// Stores arguments that are ANSI text already.
void SetArguments(int argc, const char *const *argv);

// Stores the host's arguments (UTF-8 from the shell) converted to the
// machine's ANSI code page, as Windows hands an ANSI program its command
// line.
void SetHostArguments(int argc, const char *const *argv);

// One host argument in `codePage`: each run of valid UTF-8 is converted;
// bytes that are not valid UTF-8 (ANSI text from another program of the
// machine) pass through unchanged.
std::string HostArgumentToAnsi(const std::string &argument, win::UINT codePage);

}  // namespace sim

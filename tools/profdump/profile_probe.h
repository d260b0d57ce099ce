// The calls profdump makes and the lines it prints for them.
#pragma once

#include <string>
#include <vector>

#include "dumpcommon/dump_arg.h"

namespace profdump {

using dumpcommon::Arg;
using dumpcommon::Printed;
using dumpcommon::Quoted;

struct GetResult {
    unsigned long ret;
    std::string buffer;  // the first `size` bytes of the buffer after the call
};

// One GetPrivateProfileStringA call into a buffer of `size` bytes plus 16
// guard bytes, all 0xCC before the call; prints its "get" line to
// standard output with `indent`, and returns what it got.
GetResult PrintGet(const std::string &indent, const std::string &file, const Arg &section, const Arg &key,
                   const Arg &defaultValue, unsigned long size);

// The installer's ReadProfileString and ReadProfileNames, printed as
// "read" and "readnames" lines.
void PrintRead(const std::string &indent, const std::string &file, const Arg &section, const Arg &key);
void PrintReadNames(const std::string &indent, const std::string &file, const Arg &section);

// The names of a list the profile API returned with `ret`: read from the
// first ret + 1 bytes, each up to its NUL, until a second NUL.
std::vector<std::string> ListNames(const GetResult &result);

}  // namespace profdump

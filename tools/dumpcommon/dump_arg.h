// A string argument of a dumped call, and how a dump writes strings.
#pragma once

#include <string>
#include <utility>

namespace dumpcommon {

// A string argument, or a null pointer.
struct Arg {
    bool null = true;
    std::string text;

    static Arg Null() { return Arg(); }
    static Arg Text(std::string text) { return Arg{false, std::move(text)}; }
    const char *Get() const { return null ? nullptr : text.c_str(); }
};

// `bytes` between double quotes: bytes 0x20..0x7E as themselves (but \"
// and \\), others as \xHH.
std::string Quoted(const std::string &bytes);
// "<null>", or the quoted text.
std::string Printed(const Arg &arg);

}  // namespace dumpcommon

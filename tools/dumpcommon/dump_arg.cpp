#include "dumpcommon/dump_arg.h"

#include <cstdio>

namespace dumpcommon {

std::string Quoted(const std::string &bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c <= 0x7E) {
            out += static_cast<char>(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    return out + "\"";
}

std::string Printed(const Arg &arg) { return arg.null ? "<null>" : Quoted(arg.text); }

}  // namespace dumpcommon

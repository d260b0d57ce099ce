// How a text file of the package was saved, told from its bytes: the
// installer reads message and notice files byte by byte in the system's
// ANSI code page, so a file an editor saved as UTF-8 or UTF-16 reads as
// garbled text or as nothing at all.
#pragma once

#include <string>

namespace check {

enum class Encoding {
    kCodePage,  // no sign of Unicode: single and double bytes of a code page
    kUtf8,      // a UTF-8 byte-order mark, or characters beyond ASCII that are all valid UTF-8
    kUtf16,     // a UTF-16 byte-order mark, or every other byte zero
};

Encoding EncodingOf(const std::string &bytes);

}  // namespace check

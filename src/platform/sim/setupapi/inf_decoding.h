// The text of an INF file in the machine's ANSI code page, whatever the
// file's encoding: UTF-16LE (with or without byte-order mark), UTF-8 with
// byte-order mark (both as the engine text of wide_chars.h), or ANSI
// bytes taken as they are.
#pragma once

#include <string>

#include "platform/sim/setupapi/wide_chars.h"
#include "platform/types.h"

namespace sim::setupapi {

// Windows' guess whether bytes are UTF-16LE text (IsTextUnicode with every
// test): even length, and among the first 256 code units a zero byte, a
// byte-order mark, mostly Latin-1 units or a blank; never when the bytes
// look byte-swapped. A stray NUL byte in an ANSI file of even length can
// therefore make it "UTF-16", as on Windows.
bool LooksLikeUtf16(const std::string &bytes);

struct DecodedInf {
    std::string text;
    bool unicode = false;  // text with the tags of `wideChars`
};

// `bytes` as engine text. ANSI input is moved through unchanged.
DecodedInf DecodeInfText(std::string bytes, WideCharTags &wideChars);

}  // namespace sim::setupapi

// The text of an INF file in the machine's ANSI code page, whatever the
// file's encoding: UTF-16LE or UTF-8, each with its byte-order mark (both
// as the engine text of wide_chars.h), or ANSI bytes taken as they are.
//
// Only the byte-order mark makes a file Unicode: the setup API is
// documented to identify Unicode text by the 0xFEFF mark, so an ANSI file
// with a stray NUL byte stays ANSI whatever its length, and UTF-16 without
// the mark is read as ANSI bytes (and is then no Windows 4 INF).
#pragma once

#include "platform/sim/setupapi/text_buffer.h"

#include "platform/sim/setupapi/wide_chars.h"
#include "platform/types.h"

namespace sim::setupapi {

struct DecodedInf {
    TextBuffer text;
    bool unicode = false;  // text with the tags of `wideChars`
};

// `bytes` as engine text. ANSI input is moved through unchanged, and
// UTF-16 is decoded where it lies (its text is never longer than its
// bytes: two bytes a unit, and at most two a character).
DecodedInf DecodeInfText(TextBuffer bytes, WideCharTags &wideChars);

}  // namespace sim::setupapi

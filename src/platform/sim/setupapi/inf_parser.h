// The INF syntax of the setup API, in one pass over the text.
//
// Sections start at "[name]" (the first "]" ends the name, text after it
// is ignored, repeated names merge); a line is an optional key before "="
// and values separated by ","; blanks around keys and values are dropped;
// ";" outside quotes starts a comment; '"' toggles quoting anywhere and
// '""' inside quotes is one '"'; a "\" that is the last non-blank of a line
// joins the next line; only LF ends a line, CR is a blank; ^Z ends the
// file. Keys and values are cut to 511 characters, section names may have
// 255. A line with one value and no "=" has that value as its key too.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/setupapi.h"
#include "platform/sim/setupapi/inf_file.h"

namespace sim::setupapi {

struct ParseResult {
    std::unique_ptr<InfFile> file;  // null on error
    win::DWORD error = 0;           // ERROR_BAD_SECTION_NAME_LINE ...
    win::UINT errorLine = 0;        // 1-based physical line
    // The first line of text before the first section, 0 for none. Such
    // lines are allowed when the file has a [Strings] section anywhere (then
    // this is 0); otherwise the caller reports ERROR_EXPECTED_SECTION_NAME
    // here, once it knows the file is of the style asked for.
    win::UINT strayLine = 0;
};

// How the parser takes a line whose tokens are all slices of the text,
// quoted or not: passed over at speed and split at its separators when
// asked for, or read by the state machine like any other (which gives the
// same fields, and lets a test show that it does).
enum class PlainLines { kPassedOver, kReadByStateMachine };

// Parses ANSI text of `codePage`.
ParseResult ParseInf(TextBuffer text, std::shared_ptr<const CodePageText> codePage,
                     PlainLines plainLines = PlainLines::kPassedOver);

// The fields of the line of `file` whose text begins at `offset`: a line
// kept as an offset by ParseInf, or one it passed over as plain.
void ReadLineFields(const InfFile &file, std::uint32_t offset, InfLineFields *fields);
void ReadPlainLineFields(const InfFile &file, std::uint32_t offset, InfLineFields *fields);

}  // namespace sim::setupapi

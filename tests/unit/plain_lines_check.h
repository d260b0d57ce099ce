// Whether the parser's fast reading of plain lines (passed over, then split
// at their separators when asked for) gives every line of `text` the same
// key and values as the state machine, which reads every other line.
#pragma once

#include <memory>
#include <string>

#include "platform/sim/setupapi/inf_parser.h"

namespace inf_test {

inline bool PlainLinesReadAsTheStateMachineReads(const std::string &text, win::UINT codePage) {
    using namespace sim::setupapi;
    const auto pageText = std::make_shared<const CodePageText>(codePage);
    const ParseResult fast = ParseInf(TextBuffer(text), pageText, PlainLines::kPassedOver);
    const ParseResult reference = ParseInf(TextBuffer(text), pageText, PlainLines::kReadByStateMachine);
    if (!fast.file || !reference.file) return !fast.file && !reference.file && fast.error == reference.error;
    if (fast.file->SectionCount() != reference.file->SectionCount()) return false;
    InfLineFields a;
    InfLineFields b;
    for (std::uint32_t s = 0; s < fast.file->SectionCount(); ++s) {
        const InfSection &section = fast.file->Section(s);
        if (section.lineCount != reference.file->Section(s).lineCount) return false;
        for (std::uint32_t i = 0; i < section.lineCount; ++i) {
            fast.file->ReadLine(section, i, &a);
            reference.file->ReadLine(reference.file->Section(s), i, &b);
            if (a.HasKey() != b.HasKey() || a.Key() != b.Key() || a.ValueCount() != b.ValueCount()) return false;
            for (std::uint32_t v = 0; v < a.ValueCount(); ++v)
                if (a.Value(v) != b.Value(v)) return false;
        }
    }
    return true;
}

}  // namespace inf_test

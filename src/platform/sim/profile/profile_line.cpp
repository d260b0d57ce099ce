#include "platform/sim/profile/profile_line.h"

#include <cstring>

#include "platform/sim/text/codepage.h"

namespace sim {
namespace {

// The last "]" of [begin, end), skipping double-byte characters.
const char *LastClosingBracket(const char *begin, const char *end, win::UINT codePage) {
    const char *found = nullptr;
    for (const char *p = begin; p < end; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(*p), codePage)) ++p;
        else if (*p == ']') found = p;
    }
    return found;
}

void TrimRange(const char *&begin, const char *&end) {
    while (begin < end && IsProfileBlank(*begin)) ++begin;
    while (end > begin && IsProfileBlank(end[-1])) --end;
}

}  // namespace

bool IsProfileBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

ProfileLine ReadProfileLine(const char *start, const char *textEnd, win::UINT codePage) {
    ProfileLine line;
    const char *lineEnd = start;
    while (lineEnd < textEnd && *lineEnd != '\r' && *lineEnd != '\n') ++lineEnd;
    line.next = lineEnd < textEnd ? lineEnd + 1 : textEnd;
    const char *begin = start;
    const char *end = lineEnd;
    TrimRange(begin, end);
    line.end = end;
    if (begin == end) return line;

    if (*begin == '[') {
        if (const char *close = LastClosingBracket(begin + 1, end, codePage)) {
            line.kind = ProfileLine::kHeader;
            line.nameBegin = begin + 1;
            line.nameEnd = close;
            TrimRange(line.nameBegin, line.nameEnd);
            return line;
        }
    }
    // "=" is never the trail byte of a double-byte character.
    line.kind = ProfileLine::kEntry;
    line.equals = static_cast<const char *>(std::memchr(begin, '=', static_cast<std::size_t>(end - begin)));
    line.nameBegin = begin;
    line.nameEnd = line.equals != nullptr ? line.equals : end;
    while (line.nameEnd > begin && IsProfileBlank(line.nameEnd[-1])) --line.nameEnd;
    return line;
}

}  // namespace sim

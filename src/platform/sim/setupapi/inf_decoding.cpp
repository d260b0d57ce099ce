#include "platform/sim/setupapi/inf_decoding.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "platform/sim/text/unicode.h"

namespace sim::setupapi {
namespace {

constexpr char kUtf16ByteOrderMark[] = "\xFF\xFE";
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

unsigned UnitAt(const std::string &bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

// ASCII that needs no tag is most of a UTF-16 INF, and it is copied byte
// by byte; only the runs of other characters go through the converter.
bool IsPlainAscii(unsigned unit) { return unit < 0x80 && !IsTagLead(static_cast<unsigned char>(unit)); }

std::string Utf16Text(const std::string &bytes, std::size_t start, WideCharTags &wideChars) {
    const std::size_t end = start + (bytes.size() - start) / 2 * 2;  // an odd last byte is no character
    std::string text((end - start) / 2, '\0');  // one byte a unit, more only for tags
    std::size_t length = 0;
    for (std::size_t at = start; at < end;) {
        const unsigned unit = UnitAt(bytes, at);
        if (IsPlainAscii(unit)) {
            text[length++] = static_cast<char>(unit);
            at += 2;
            continue;
        }
        std::size_t runEnd = at + 2;
        while (runEnd < end && !IsPlainAscii(UnitAt(bytes, runEnd))) runEnd += 2;
        const std::string tagged = wideChars.Tagged(DecodeUtf16(bytes.data() + at, runEnd - at, false));
        at = runEnd;
        const std::size_t needed = length + tagged.size() + (end - at) / 2;
        if (needed > text.size()) text.resize(needed);
        text.replace(length, tagged.size(), tagged);
        length += tagged.size();
    }
    text.resize(length);
    return text;
}

bool StartsWith(const std::string &bytes, const char *mark, std::size_t length) {
    return bytes.size() >= length && std::memcmp(bytes.data(), mark, length) == 0;
}

}  // namespace

DecodedInf DecodeInfText(std::string bytes, WideCharTags &wideChars) {
    const std::size_t utf16Mark = sizeof kUtf16ByteOrderMark - 1;
    if (StartsWith(bytes, kUtf16ByteOrderMark, utf16Mark)) return {Utf16Text(bytes, utf16Mark, wideChars), true};
    const std::size_t utf8Mark = sizeof kUtf8ByteOrderMark - 1;
    if (bytes.size() > utf8Mark && StartsWith(bytes, kUtf8ByteOrderMark, utf8Mark))
        return {wideChars.Tagged(DecodeUtf8(bytes.substr(utf8Mark))), true};
    return {std::move(bytes), false};
}

}  // namespace sim::setupapi

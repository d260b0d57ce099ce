#include "platform/sim/setupapi/inf_decoding.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "platform/sim/text/unicode.h"

namespace sim::setupapi {
namespace {

constexpr char kUtf16ByteOrderMark[] = "\xFF\xFE";
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";
// UTF-16 is converted a piece at a time, which keeps the converter's own
// buffers small.
constexpr std::size_t kUtf16PieceBytes = 1 << 16;

unsigned UnitAt(const std::string &bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[2 * index]) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[2 * index + 1])) << 8;
}

bool IsHighSurrogate(unsigned unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

std::string Utf16Text(const std::string &bytes, std::size_t start, WideCharTags &wideChars) {
    std::string text;
    text.reserve((bytes.size() - start) / 2);
    for (std::size_t at = start; at < bytes.size();) {
        std::size_t length = std::min(kUtf16PieceBytes, bytes.size() - at);
        if (at + length < bytes.size() && IsHighSurrogate(UnitAt(bytes, (at + length) / 2 - 1)))
            length -= 2;  // a surrogate pair stays in one piece
        text += wideChars.Tagged(DecodeUtf16(bytes.data() + at, length, false));
        at += length;
    }
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

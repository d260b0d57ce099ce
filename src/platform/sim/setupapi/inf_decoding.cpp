#include "platform/sim/setupapi/inf_decoding.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "platform/sim/text/unicode.h"

namespace sim::setupapi {
namespace {

constexpr std::size_t kUnitsExamined = 256;
constexpr unsigned kByteOrderMark = 0xFEFF;
constexpr unsigned kSwappedByteOrderMark = 0xFFFE;
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";
// UTF-16 is converted a piece at a time, which keeps the converter's own
// buffers small.
constexpr std::size_t kUtf16PieceBytes = 1 << 16;

unsigned UnitAt(const std::string &bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[2 * index]) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[2 * index + 1])) << 8;
}

// CR, LF, TAB and space as they read when the bytes are swapped.
bool IsSwappedBlank(unsigned unit) {
    return unit == 0x0D00 || unit == 0x0A00 || unit == 0x0900 || unit == 0x2000;
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

}  // namespace

bool LooksLikeUtf16(const std::string &bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0) return false;
    std::size_t units = bytes.size();
    if (bytes.back() == '\0') --units;  // a final NUL alone proves nothing
    units /= 2;
    if (units > kUnitsExamined) units = kUnitsExamined;
    const unsigned first = UnitAt(bytes, 0);
    if (first == kSwappedByteOrderMark) return false;
    bool zeroByte = false;
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned unit = UnitAt(bytes, i);
        if (IsSwappedBlank(unit)) return false;
        zeroByte = zeroByte || (unit & 0xFF) == 0 || (unit >> 8) == 0;
    }
    // Windows' other hints (mostly Latin-1 units, UTF-16 blanks) all imply
    // a zero byte among the units examined.
    return zeroByte || first == kByteOrderMark;
}

DecodedInf DecodeInfText(std::string bytes, WideCharTags &wideChars) {
    if (LooksLikeUtf16(bytes))
        return {Utf16Text(bytes, UnitAt(bytes, 0) == kByteOrderMark ? 2 : 0, wideChars), true};
    const std::size_t bomLength = sizeof kUtf8ByteOrderMark - 1;
    if (bytes.size() > bomLength && std::memcmp(bytes.data(), kUtf8ByteOrderMark, bomLength) == 0)
        return {wideChars.Tagged(DecodeUtf8(bytes.substr(bomLength))), true};
    return {std::move(bytes), false};
}

}  // namespace sim::setupapi

#include "platform/sim/setupapi/inf_decoding.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "platform/sim/text/unicode.h"

namespace sim::setupapi {
namespace {

constexpr char kUtf16ByteOrderMark[] = "\xFF\xFE";
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

unsigned UnitAt(const char *bytes) {
    return static_cast<unsigned char>(bytes[0]) | static_cast<unsigned>(static_cast<unsigned char>(bytes[1])) << 8;
}

// ASCII that needs no tag is most of a UTF-16 INF, and it is copied byte
// by byte; only the runs of other characters go through the converter.
bool IsPlainAscii(unsigned unit) { return unit < 0x80 && !IsTagLead(static_cast<unsigned char>(unit)); }

// The four units at `at` as four bytes when each is a printable ASCII
// character (0x20..0x7E), which needs no tag: eight bytes looked at in
// one word. The units are little-endian, as the host's words are.
bool FourPrintableUnits(const char *at, std::uint32_t *bytes) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "UTF-16LE units are read as host words");
    std::uint64_t units;
    std::memcpy(&units, at, sizeof units);
    if ((units & 0xFF80FF80FF80FF80u) != 0) return false;  // a unit of 0x80 or more
    units = (units | units >> 8) & 0x0000FFFF0000FFFFu;     // the low bytes side by side
    const std::uint32_t word = static_cast<std::uint32_t>(units | units >> 16);
    const std::uint32_t del = word ^ 0x7F7F7F7Fu;
    // No byte below 0x20, and none that is 0x7F (the bytes are below 0x80).
    if (((word - 0x20202020u) & ~word & 0x80808080u) != 0 || ((del - 0x01010101u) & ~del & 0x80808080u) != 0)
        return false;
    *bytes = word;
    return true;
}

// Decodes the UTF-16 units of `buffer` from `start` on into the same
// buffer from its beginning: a unit of two bytes gives one byte, or with
// the next ones a character of at most two.
void DecodeUtf16InPlace(TextBuffer *buffer, std::size_t start, WideCharTags &wideChars) {
    char *bytes = buffer->Data();
    const std::size_t end = start + (buffer->Size() - start) / 2 * 2;  // an odd last byte is no character
    std::size_t length = 0;
    for (std::size_t at = start; at < end;) {
        std::uint32_t four;
        if (end - at >= 8 && FourPrintableUnits(bytes + at, &four)) {
            std::memcpy(bytes + length, &four, sizeof four);
            length += 4;
            at += 8;
            continue;
        }
        const unsigned unit = UnitAt(bytes + at);
        if (IsPlainAscii(unit)) {
            bytes[length++] = static_cast<char>(unit);
            at += 2;
            continue;
        }
        std::size_t runEnd = at + 2;
        while (runEnd < end && !IsPlainAscii(UnitAt(bytes + runEnd))) runEnd += 2;
        const std::string tagged = wideChars.Tagged(DecodeUtf16(bytes + at, runEnd - at, false));
        if (length + tagged.size() > runEnd) {
            // Only a code page of three-byte characters (UTF-8) makes the
            // text outgrow its bytes: the rest is decoded into a new buffer.
            std::string text(bytes, length);
            text += tagged;
            text += wideChars.Tagged(DecodeUtf16(bytes + runEnd, end - runEnd, false));
            *buffer = TextBuffer(text);
            return;
        }
        std::memcpy(bytes + length, tagged.data(), tagged.size());
        length += tagged.size();
        at = runEnd;
    }
    buffer->Shrink(length);
}

bool StartsWith(const TextBuffer &bytes, const char *mark, std::size_t length) {
    return bytes.Size() >= length && std::memcmp(bytes.Data(), mark, length) == 0;
}

}  // namespace

DecodedInf DecodeInfText(TextBuffer bytes, WideCharTags &wideChars) {
    const std::size_t utf16Mark = sizeof kUtf16ByteOrderMark - 1;
    if (StartsWith(bytes, kUtf16ByteOrderMark, utf16Mark)) {
        DecodeUtf16InPlace(&bytes, utf16Mark, wideChars);
        return {std::move(bytes), true};
    }
    const std::size_t utf8Mark = sizeof kUtf8ByteOrderMark - 1;
    if (bytes.Size() > utf8Mark && StartsWith(bytes, kUtf8ByteOrderMark, utf8Mark)) {
        const std::string utf8(bytes.View().substr(utf8Mark));
        return {TextBuffer(wideChars.Tagged(DecodeUtf8(utf8))), true};
    }
    return {std::move(bytes), false};
}

}  // namespace sim::setupapi

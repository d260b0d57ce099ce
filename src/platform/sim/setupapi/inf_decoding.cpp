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

// The eight units at `at` written to `out` as eight bytes when each is
// ASCII that needs no tag: the units compared at once (a vector of the
// compiler's), then narrowed four at a time in a word. The units are
// little-endian, as the host's words are.
bool EightPlainUnits(const char *at, char *out) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "UTF-16LE units are read as host words");
    using Units = std::uint16_t __attribute__((vector_size(16)));
    Units units;
    std::memcpy(&units, at, sizeof units);
    // The tag leads of wide_chars.h: 0x01..0x08, 0x0E..0x19, 0x1B..0x1F, 0x7F.
    const Units tagLead = (units - 0x01 < 8) | (units - 0x0E < 12) | (units - 0x1B < 5) | (units == 0x7F);
    const Units other = (units > 0x7F) | tagLead;
    std::uint64_t halves[2];
    std::memcpy(halves, &other, sizeof halves);
    if ((halves[0] | halves[1]) != 0) return false;
    for (int half = 0; half < 2; ++half) {
        std::uint64_t four;
        std::memcpy(&four, at + 8 * half, sizeof four);
        four = (four | four >> 8) & 0x0000FFFF0000FFFFu;  // the low bytes side by side
        const std::uint32_t bytes = static_cast<std::uint32_t>(four | four >> 16);
        std::memcpy(out + 4 * half, &bytes, sizeof bytes);
    }
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
        char eight[8];
        if (end - at >= 16 && EightPlainUnits(bytes + at, eight)) {
            std::memcpy(bytes + length, eight, sizeof eight);
            length += 8;
            at += 16;
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

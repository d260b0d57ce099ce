#include "platform/sim/setupapi/inf_decoding.h"

#include <cstddef>
#include <cstring>

#include "platform/sim/codepage.h"

namespace sim::setupapi {
namespace {

constexpr std::size_t kUnitsExamined = 256;
constexpr unsigned kByteOrderMark = 0xFEFF;
constexpr unsigned kSwappedByteOrderMark = 0xFFFE;
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

unsigned UnitAt(const std::string &bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[2 * index]) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[2 * index + 1])) << 8;
}

// CR, LF, TAB and space as they read when the bytes are swapped.
bool IsSwappedBlank(unsigned unit) {
    return unit == 0x0D00 || unit == 0x0A00 || unit == 0x0900 || unit == 0x2000;
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

std::string DecodeInfText(std::string bytes, win::UINT codePage) {
    if (LooksLikeUtf16(bytes)) {
        const std::size_t skip = UnitAt(bytes, 0) == kByteOrderMark ? 2 : 0;
        return Utf16ToAnsi(bytes.data() + skip, bytes.size() - skip, false, codePage);
    }
    const std::size_t bomLength = sizeof kUtf8ByteOrderMark - 1;
    if (bytes.size() > bomLength && std::memcmp(bytes.data(), kUtf8ByteOrderMark, bomLength) == 0)
        return Utf8ToAnsi(bytes.substr(bomLength), codePage);
    return bytes;
}

}  // namespace sim::setupapi

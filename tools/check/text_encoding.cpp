#include "text_encoding.h"

namespace check {
namespace {

// True when `bytes` is valid UTF-8 with at least one character beyond
// ASCII: text of a code page such as 1252 or 932 almost never is.
bool IsUtf8BeyondAscii(const std::string &bytes) {
    bool beyondAscii = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || (length == 2 && lead < 0xC2) || i + length > bytes.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        beyondAscii = beyondAscii || length > 1;
        i += length;
    }
    return beyondAscii;
}

}  // namespace

Encoding EncodingOf(const std::string &bytes) {
    if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) return Encoding::kUtf16;
    std::size_t zeros = 0;
    for (char byte : bytes) zeros += byte == '\0';
    if (!bytes.empty() && zeros * 4 >= bytes.size()) return Encoding::kUtf16;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 || IsUtf8BeyondAscii(bytes)) return Encoding::kUtf8;
    return Encoding::kCodePage;
}

}  // namespace check

#include "platform/sim/text/unicode.h"

#include <locale.h>
#include <wctype.h>

namespace sim {
namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The C.UTF-8 locale, whose wide-character tables carry the Unicode case
// mappings; null when the host lacks it (then only ASCII letters change).
locale_t UnicodeLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return locale;
}

void AppendUtf16(std::u16string &out, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

}  // namespace

std::u32string DecodeUtf8(const std::string &utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    const std::size_t size = utf8.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        std::size_t extra;
        char32_t c;
        char32_t minimum;
        if ((lead & 0xE0) == 0xC0) {
            extra = 1, c = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, c = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, c = lead & 0x07, minimum = 0x10000;
        } else {
            out.push_back(kReplacementChar);
            ++i;
            continue;
        }
        std::size_t taken = 1;
        while (taken <= extra && i + taken < size &&
               IsContinuation(static_cast<unsigned char>(utf8[i + taken]))) {
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + taken]) & 0x3F);
            ++taken;
        }
        const bool complete = taken == extra + 1;
        const bool valid = complete && c >= minimum && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        out.push_back(valid ? c : kReplacementChar);
        i += taken;
    }
    return out;
}

std::string EncodeUtf8(const std::u32string &text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u32string DecodeUtf16(const char *bytes, std::size_t length, bool bigEndian) {
    std::u32string out;
    out.reserve(length / 2);
    auto unit = [&](std::size_t i) -> char32_t {
        const unsigned char a = static_cast<unsigned char>(bytes[i]);
        const unsigned char b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    const std::size_t units = length / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t c = unit(2 * i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
            const char32_t low = unit(2 * (i + 1));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.push_back(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        out.push_back(c >= 0xD800 && c <= 0xDFFF ? kReplacementChar : c);
    }
    return out;
}

char32_t UnicodeUpper(char32_t c) {
    if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 0x20 : c;
    const locale_t locale = UnicodeLocale();
    if (locale == static_cast<locale_t>(0)) return c;
    return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale));
}

std::u16string UpcasedUtf16(const std::string &utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (char32_t c : DecodeUtf8(utf8)) {
        // The NTFS upcase table covers the Basic Multilingual Plane only.
        AppendUtf16(out, c < 0x10000 ? UnicodeUpper(c) : c);
    }
    return out;
}

}  // namespace sim

// Conversions into and out of the machine's ANSI code page. Code page 1252
// is built in (it is the common case and the host's iconv lacks the five
// bytes Windows maps to C1 controls); every other code page goes through
// iconv as "CP<n>". Into the code page, a character it lacks becomes its
// best fit where the code page has one (best_fit.h), else "?".
#include "platform/sim/text/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sim/text/best_fit.h"
#include "platform/sim/text/unicode.h"

namespace sim {
namespace {

constexpr win::UINT kWestern = 1252;
constexpr win::UINT kUtf8 = 65001;

// Code page 1252, bytes 0x80..0x9F; the rest of the page is Latin-1.
constexpr char16_t kWesternHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsAscii(const std::string &text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char WesternByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kWesternHigh[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

char32_t WesternChar(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kWesternHigh[b - 0x80] : b; }

std::string IconvName(win::UINT codePage) {
    return codePage == kUtf8 ? "UTF-8" : "CP" + std::to_string(codePage);
}

// One iconv conversion descriptor.
class Iconv {
public:
    Iconv(const std::string &to, const std::string &from) : m_cd(iconv_open(to.c_str(), from.c_str())) {}
    ~Iconv() {
        if (Usable()) iconv_close(m_cd);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;

    bool Usable() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts `in`; each input piece iconv cannot convert is skipped by
    // `skip` bytes and stands as `replacement` in the output.
    std::string Convert(const std::string &in, std::size_t skip, const std::string &replacement) {
        std::string out;
        char buffer[4096];
        char *inPtr = const_cast<char *>(in.data());
        std::size_t inLeft = in.size();
        while (inLeft > 0) {
            char *outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            // EILSEQ or EINVAL: a character the target lacks, or bytes the
            // source does not allow.
            const std::size_t skipped = std::min(skip, inLeft);
            inPtr += skipped;
            inLeft -= skipped;
            out += replacement;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t m_cd;
};

void ReportUnknownCodePage(win::UINT codePage) {
    static std::atomic<bool> reported{false};
    if (!reported.exchange(true))
        std::fprintf(stderr, "mirtel: code page %u is unknown to iconv; non-ASCII text becomes \"?\"\n",
                     codePage);
}

std::string EncodeAnsi(const std::u32string &text, win::UINT codePage) {
    if (std::all_of(text.begin(), text.end(), [](char32_t c) { return c < 0x80; }))
        return std::string(text.begin(), text.end());
    std::string out;
    out.reserve(text.size());
    if (codePage != kWestern && !Iconv(IconvName(codePage), "UTF-32LE").Usable()) {
        ReportUnknownCodePage(codePage);
        for (char32_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }
    for (char32_t c : text)
        if (!AppendAnsiChar(c, codePage, &out)) AppendBestFitOrDefault(c, codePage, &out);
    return out;
}

std::u32string DecodeAnsi(const std::string &ansi, win::UINT codePage) {
    if (codePage == kWestern || IsAscii(ansi)) {
        std::u32string out;
        out.reserve(ansi.size());
        for (char c : ansi) out.push_back(WesternChar(static_cast<unsigned char>(c)));
        return out;
    }
    Iconv converter("UTF-8", IconvName(codePage));
    if (!converter.Usable()) {
        ReportUnknownCodePage(codePage);
        std::u32string out;
        for (char c : ansi) out.push_back(static_cast<unsigned char>(c) < 0x80 ? c : U'?');
        return out;
    }
    return DecodeUtf8(converter.Convert(ansi, 1, "?"));
}

// The bytes of every character of the Basic Multilingual Plane that makes
// a round trip through a code page (0: none; a double-byte character has
// its lead byte in the high half).
using CharBytesTable = std::vector<std::uint16_t>;

CharBytesTable MakeCharBytesTable(win::UINT codePage) {
    CharBytesTable table(0x10000, 0);
    Iconv encoder(IconvName(codePage), "UTF-32LE");
    Iconv decoder("UTF-32LE", IconvName(codePage));
    if (!encoder.Usable() || !decoder.Usable()) return table;
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        std::string utf32;
        for (int shift = 0; shift < 32; shift += 8) utf32.push_back(static_cast<char>((c >> shift) & 0xFF));
        const std::string bytes = encoder.Convert(utf32, 4, std::string(1, '\0'));
        if (bytes.empty() || bytes.size() > 2 || bytes.find('\0') != std::string::npos) continue;
        if (decoder.Convert(bytes, 1, std::string(4, '\0')) != utf32) continue;
        table[c] = static_cast<std::uint16_t>(bytes.size() == 1 ? static_cast<unsigned char>(bytes[0])
                                                                 : (static_cast<unsigned char>(bytes[0]) << 8) |
                                                                       static_cast<unsigned char>(bytes[1]));
    }
    return table;
}

const CharBytesTable &CharBytesTableOf(win::UINT codePage) {
    static std::mutex lock;
    static std::map<win::UINT, std::unique_ptr<const CharBytesTable>> tables;
    std::lock_guard<std::mutex> guard(lock);
    auto &table = tables[codePage];
    if (!table) table = std::make_unique<const CharBytesTable>(MakeCharBytesTable(codePage));
    return *table;
}

using UpperTable = std::array<unsigned char, 256>;

UpperTable MakeUpperTable(win::UINT codePage) {
    UpperTable table;
    for (int b = 0; b < 256; ++b) {
        table[b] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - 0x20 : b);
        if (b < 0x80 || IsLeadByte(static_cast<unsigned char>(b), codePage)) continue;
        const std::u32string decoded = DecodeAnsi(std::string(1, static_cast<char>(b)), codePage);
        if (decoded.size() != 1) continue;
        const std::string upper = EncodeAnsi(std::u32string(1, UnicodeUpper(decoded[0])), codePage);
        if (upper.size() == 1 && upper != "?") table[b] = static_cast<unsigned char>(upper[0]);
    }
    return table;
}

// One table per code page, made on first use and never changed after.
const UpperTable &UpperTableOf(win::UINT codePage) {
    static std::mutex lock;
    static std::map<win::UINT, std::unique_ptr<const UpperTable>> tables;
    std::lock_guard<std::mutex> guard(lock);
    auto &table = tables[codePage];
    if (!table) table = std::make_unique<const UpperTable>(MakeUpperTable(codePage));
    return *table;
}

}  // namespace

std::string Utf8ToAnsi(const std::string &utf8, win::UINT codePage) {
    if (IsAscii(utf8)) return utf8;
    return EncodeAnsi(DecodeUtf8(utf8), codePage);
}

std::string AnsiToUtf8(const std::string &ansi, win::UINT codePage) {
    if (IsAscii(ansi)) return ansi;
    return EncodeUtf8(DecodeAnsi(ansi, codePage));
}

bool IsLeadByte(unsigned char c, win::UINT codePage) {
    switch (codePage) {
    case 932:
        return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    case 936:
    case 949:
    case 950:
        return c >= 0x81 && c <= 0xFE;
    default:
        return false;
    }
}

bool AppendAnsiChar(char32_t c, win::UINT codePage, std::string *out) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
        return true;
    }
    if (codePage == kWestern) {
        const char byte = WesternByte(c);
        if (byte == '?') return false;
        out->push_back(byte);
        return true;
    }
    if (c > 0xFFFF) return false;
    const std::uint16_t bytes = CharBytesTableOf(codePage)[c];
    if (bytes == 0) return false;
    if (bytes > 0xFF) out->push_back(static_cast<char>(bytes >> 8));
    out->push_back(static_cast<char>(bytes & 0xFF));
    return true;
}

std::string AnsiUpper(const std::string &ansi, win::UINT codePage) {
    std::string out = ansi;
    if (IsAscii(ansi)) {
        for (char &c : out)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
        return out;
    }
    const UpperTable &table = UpperTableOf(codePage);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsLeadByte(c, codePage)) {
            ++i;  // the trail byte is no letter of its own
            continue;
        }
        out[i] = static_cast<char>(table[c]);
    }
    return out;
}

}  // namespace sim

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/text/codepage.h"
#include "platform/sim/text/unicode.h"

namespace {

struct ConversionCase {
    win::UINT codePage;
    std::string utf8;
    std::string ansi;
};

TEST(SimCodePage, Utf8ToAnsiAndBack) {
    const ConversionCase cases[] = {
        {1252, "plain ASCII", "plain ASCII"},
        {1252, "Soci\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xc5\xb8", "Soci\xe9t\xe9 \x80 \x9f"},
        {932, "\xe6\x97\xa5\xe6\x9c\xac", "\x93\xfa\x96\x7b"},             // 日本
        {932, "\xe8\xa1\xa8\xe3\x82\xbd", "\x95\x5c\x83\x5c"},             // 表ソ
        {936, "\xe4\xb8\xad\xe6\x96\x87", "\xd6\xd0\xce\xc4"},             // 中文
        {949, "\xed\x95\x9c", "\xc7\xd1"},                                 // 한
        {950, "\xe4\xb8\xad", "\xa4\xa4"},                                 // 中
        {1251, "\xd0\x9f", "\xcf"},                                        // П
    };
    for (const ConversionCase &c : cases) {
        EXPECT_EQ(sim::Utf8ToAnsi(c.utf8, c.codePage), c.ansi) << c.codePage << " " << c.utf8;
        EXPECT_EQ(sim::AnsiToUtf8(c.ansi, c.codePage), c.utf8) << c.codePage << " " << c.utf8;
    }
}

TEST(SimCodePage, MissingCharactersBecomeTheirBestFitOrQuestionMarks) {
    const struct {
        const char *utf8;
        win::UINT codePage;
        const char *ansi;
    } cases[] = {
        {"D\xc4\x89 \xce\xa9 \xc5\x81", 1252, "Dc O L"},           // Dĉ Ω Ł
        {"\xe6\x97\xa5\xe6\x9c\xac-x", 1252, "?\?-x"},             // CJK has no best fit
        {"\xd0\x96\xe2\x80\x83|", 1252, "? |"},                     // Ж, em space
        {"\xc3\xa9\xf0\x9f\x98\x80\xc2\xa2", 932, "e?\?\x81\x91"},  // é, an emoji (two units), ¢
        {"\xc2\xa6\xe6\x97\xa5", 936, "|\xc8\xd5"},               // ¦, 日
    };
    for (const auto &c : cases) EXPECT_EQ(sim::Utf8ToAnsi(c.utf8, c.codePage), c.ansi) << c.codePage << " " << c.utf8;
    EXPECT_EQ(sim::Utf8ToAnsi("bad\xff", 1252), "bad?");
    // Bytes Windows maps to C1 controls come back as themselves.
    EXPECT_EQ(sim::AnsiToUtf8("\x81\x8d", 1252), "\xc2\x81\xc2\x8d");
    EXPECT_EQ(sim::Utf8ToAnsi("\xc2\x81\xc2\x8d", 1252), "\x81\x8d");
    EXPECT_EQ(sim::AnsiToUtf8("a\x82", 932), "a?");  // a lone lead byte
}

std::string Utf16ToAnsi(const char *bytes, std::size_t length, bool bigEndian, win::UINT codePage) {
    return sim::Utf8ToAnsi(sim::EncodeUtf8(sim::DecodeUtf16(bytes, length, bigEndian)), codePage);
}

TEST(SimCodePage, Utf16EitherByteOrder) {
    const std::string little("A\0\xe9\0=\0\xe5\x65", 8);  // Aé=日
    const std::string big("\0A\0\xe9\0=\x65\xe5", 8);
    EXPECT_EQ(Utf16ToAnsi(little.data(), little.size(), false, 1252), "A\xe9=?");
    EXPECT_EQ(Utf16ToAnsi(big.data(), big.size(), true, 1252), "A\xe9=?");
    EXPECT_EQ(Utf16ToAnsi(little.data(), little.size(), false, 932), "Ae=\x93\xfa");
    const std::string lone("\x00\xd8" "a\0", 4);  // an unpaired surrogate
    EXPECT_EQ(Utf16ToAnsi(lone.data(), lone.size(), false, 1252), "?a");
    const std::string withNul("a\0\0\0b\0", 6);
    EXPECT_EQ(Utf16ToAnsi(withNul.data(), withNul.size(), false, 1252), std::string("a\0b", 3));
}

TEST(SimCodePage, LeadBytesAndUpperCase) {
    EXPECT_TRUE(sim::IsLeadByte(0x81, 932));
    EXPECT_TRUE(sim::IsLeadByte(0xfc, 932));
    EXPECT_FALSE(sim::IsLeadByte(0xa0, 932));  // half-width katakana are single bytes
    EXPECT_TRUE(sim::IsLeadByte(0xfe, 936));
    EXPECT_FALSE(sim::IsLeadByte(0x81, 1252));
    EXPECT_EQ(sim::AnsiUpper(sim::Utf8ToAnsi("straße é ÿ œ µ", 1252), 1252), sim::Utf8ToAnsi("STRAßE É Ÿ Œ µ", 1252));
    EXPECT_EQ(sim::AnsiUpper("abc \x83\x61x", 932), "ABC \x83\x61X");  // 0x61 is a trail byte there
    EXPECT_EQ(sim::AnsiUpper("\xe0\xff", 1251), "\xc0\xdf");
}

}  // namespace

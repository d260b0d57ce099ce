// Corners of the INF syntax, encodings and %token% substitution that the
// conformance cases do not reach.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "inf_test_engine.h"
#include "plain_lines_check.h"

namespace {

using inf_test::kVersion;
using inf_test::TestEngine;
using Lines = std::vector<std::vector<std::string>>;

std::string WithVersion(const std::string &body) { return kVersion + body; }

// A literal with its NUL bytes.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::string Utf16(const std::string &ascii, bool bigEndian) {
    std::string out;
    for (char c : ascii) {
        out += bigEndian ? '\0' : c;
        out += bigEndian ? c : '\0';
    }
    return out;
}

struct ParsedCase {
    const char *name;
    std::string text;
    std::map<std::string, Lines> sections;  // key, then values; "<none>" for no key
};

class ParsedFile : public testing::TestWithParam<ParsedCase> {};

TEST_P(ParsedFile, Reads) {
    TestEngine engine;
    const win::HINF inf = engine.Open(GetParam().text);
    ASSERT_NE(inf, win::INVALID_HANDLE_VALUE) << std::hex << win::GetLastError();
    for (const auto &section : GetParam().sections)
        EXPECT_EQ(engine.Lines(inf, section.first.c_str()), section.second) << section.first;
}

const std::string k600(600, 'k');
const std::string x20(20, 'x');

std::string ContinuedValue() {
    std::string text = "[S]\na=";
    for (int i = 0; i < 40; ++i) text += x20 + "\\\n";
    return text + "end\n";
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, ParsedFile,
    testing::Values(
        ParsedCase{"backslash_in_open_quote_is_text", WithVersion("[S]\na=\"x\\\ny\"\n"),
                   {{"S", {{"a", "x\\"}, {"y", "y"}}}}},
        ParsedCase{"control_z_ends_the_file", WithVersion("[S]\na=b\x1a" "c\n[T]\nd=e\n"),
                   {{"S", {{"a", "b"}}}, {"T", {}}}},
        ParsedCase{"nul_bytes_read_as_blanks",
                   WithVersion(Bytes("[S]\na=ef\0gh\nb=c\0\nk\0y=1\n")),
                   {{"S", {{"a", "ef gh"}, {"b", "c"}, {"k y", "1"}}}}},
        // Of even length, with its NUL near the start: still ANSI, as only a
        // byte-order mark makes a file Unicode.
        ParsedCase{"nul_in_header_of_even_length",
                   Bytes("[Version]\r\nSignature=\"$CHICAGO$\"\r\n [TestSection\0]\n"),
                   {{"Version", {{"Signature", "$CHICAGO$"}}}}},
        ParsedCase{"long_key_cut_to_511", WithVersion("[S]\n" + k600 + "=v\n"),
                   {{"S", {{std::string(511, 'k'), "v"}}}}},
        ParsedCase{"joined_value_cut_to_511", WithVersion(ContinuedValue()),
                   {{"S", {{"a", std::string(511, 'x')}}}}},
        ParsedCase{"stray_lines_allowed_with_strings",
                   "junk = 1\n[Version]\nSignature=$Chicago$\n[Strings]\nx=1\n", {{"Strings", {{"x", "1"}}}}},
        ParsedCase{"cr_is_a_blank", WithVersion("[S]\r\n a \r= b\r\n"), {{"S", {{"a", "b"}}}}},
        ParsedCase{"section_name_of_255", WithVersion("[" + std::string(255, 'n') + "]\na=1\n"),
                   {{std::string(255, 'n'), {{"a", "1"}}}}}),
    [](const testing::TestParamInfo<ParsedCase> &info) { return std::string(info.param.name); });

struct FailedCase {
    const char *name;
    std::string bytes;
    win::DWORD error;
    win::UINT line;
};

class FailedOpen : public testing::TestWithParam<FailedCase> {};

TEST_P(FailedOpen, ReportsErrorAndLine) {
    TestEngine engine;
    engine.Files().Add("C:\\work\\bad.inf", GetParam().bytes);
    win::UINT line = 77;
    EXPECT_EQ(engine.Api().OpenInfFile("C:\\work\\bad.inf", nullptr, win::INF_STYLE_WIN4, &line),
              win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win::GetLastError(), GetParam().error);
    EXPECT_EQ(line, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, FailedOpen,
    testing::Values(
        FailedCase{"cr_only_line_ends_make_one_line", "[Version]\rSignature=$Chicago$\r[S]\ra=b\r",
                   win::ERROR_WRONG_INF_STYLE, 0},
        FailedCase{"stray_line_counts_blank_lines", "\n\njunk\n[Version]\nSignature=$Chicago$\n",
                   win::ERROR_EXPECTED_SECTION_NAME, 3},
        FailedCase{"section_name_of_256", "[Version]\nSignature=$Chicago$\n\n[" + std::string(256, 'n') + "]\n",
                   win::ERROR_SECTION_NAME_TOO_LONG, 4},
        FailedCase{"section_header_without_bracket", "[Version]\nSignature=$Chicago$\n[Open\n",
                   win::ERROR_BAD_SECTION_NAME_LINE, 3},
        FailedCase{"first_signature_decides", "[Version]\nSignature=$Windows 2000$\nSignature=$Chicago$\n",
                   win::ERROR_WRONG_INF_STYLE, 0},
        FailedCase{"utf16_big_endian", "\xFE\xFF" + Utf16("[Version]\r\nSignature=$Chicago$\r\n", true),
                   win::ERROR_WRONG_INF_STYLE, 0},
        FailedCase{"utf16_without_byte_order_mark", Utf16("[Version]\r\nSignature=$Chicago$\r\n", false),
                   win::ERROR_WRONG_INF_STYLE, 0},
        // The style is checked before stray lines, but after errors that
        // end the reading at once.
        FailedCase{"text_without_signature", "abcd\r\n", win::ERROR_WRONG_INF_STYLE, 0},
        FailedCase{"stray_line_and_no_valid_signature", "abcd\r\n[Version]\r\nSignature=foo\r\n",
                   win::ERROR_WRONG_INF_STYLE, 0},
        FailedCase{"bad_header_without_signature", "abcd\r\n[ab\r\n", win::ERROR_BAD_SECTION_NAME_LINE, 2}),
    [](const testing::TestParamInfo<FailedCase> &info) { return std::string(info.param.name); });

// UTF-16 is converted in pieces of 64 KiB; a surrogate pair across the
// end of a piece is still one character ("?" in code page 1252).
TEST(InfEncoding, SurrogatePairAcrossConversionPieces) {
    const std::size_t unitsBeforePair = 32767;  // the pair's first unit ends the first piece
    std::string ascii = "[Version]\r\nSignature=$Chicago$\r\n[S]\r\n";
    while (ascii.size() + 200 < unitsBeforePair) ascii += ";" + std::string(97, 'c') + "\r\n";
    const std::string value(unitsBeforePair - ascii.size() - 2, 'x');
    ascii += "k=" + value;
    TestEngine engine;
    const std::string smiley = Bytes("\x3D\xD8\x00\xDE");
    const win::HINF inf = engine.Open("\xFF\xFE" + Utf16(ascii, false) + smiley + Utf16("\r\n", false));
    ASSERT_NE(inf, win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(engine.Lines(inf, "S"), (Lines{{"k", value + "??"}}));  // one "?" per UTF-16 unit
}

TEST(InfEncoding, Utf8WithByteOrderMarkBecomesAnsi) {
    TestEngine engine;
    const win::HINF inf = engine.Open("\xEF\xBB\xBF" + WithVersion("[S]\nk=caf\xC3\xA9 \xE6\x97\xA5\n"));
    ASSERT_NE(inf, win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(engine.Lines(inf, "S"), (Lines{{"k", "caf\xE9 ?"}}));
}

struct SubstitutionCase {
    const char *name;
    std::string value;
    std::string expected;
};

class Substitution : public testing::TestWithParam<SubstitutionCase> {};

TEST_P(Substitution, Replaces) {
    TestEngine engine;
    const win::HINF inf =
        engine.Open(WithVersion("[S]\na=" + GetParam().value + "\n[Strings]\nname=Contoso\nbig=" +
                                std::string(400, 'b') + "\n"));
    ASSERT_NE(inf, win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(engine.Lines(inf, "S"), (Lines{{"a", GetParam().expected}}));
}

std::string Repeated(const std::string &text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, Substitution,
    testing::Values(SubstitutionCase{"string_key_any_case", "%NAME%", "Contoso"},
                    SubstitutionCase{"windows_folder", "%10%", "C:\\windows"},
                    SubstitutionCase{"system_folder", "%11%", "C:\\windows\\system32"},
                    SubstitutionCase{"drivers_folder", "%12%", "C:\\windows\\system32\\drivers"},
                    SubstitutionCase{"inf_folder", "%17%", "C:\\windows\\inf"},
                    SubstitutionCase{"system_drive_root", "%24%", "C:\\"},
                    SubstitutionCase{"root_before_backslash", "%24%\\boot", "C:\\boot"},
                    SubstitutionCase{"own_folder", "%1%\\x.dll", "C:\\work\\x.dll"},
                    SubstitutionCase{"leading_blank_in_number", "% 11%", "C:\\windows\\system32"},
                    SubstitutionCase{"trailing_blank_in_number", "%11 %", "%11 %"},
                    SubstitutionCase{"null_directory_id", "%0%", ""},
                    SubstitutionCase{"absolute_id", "%-1%", ""},
                    SubstitutionCase{"absolute_id_of_16_bits", "%65535%", ""},
                    SubstitutionCase{"undefined_directory_id", "%99%", "C:\\windows\\system32\\unknown"},
                    SubstitutionCase{"undefined_negative_id", "%-5%", "C:\\windows\\system32\\unknown"},
                    SubstitutionCase{"shell_folder_id", "%16384%", "%16384%"},
                    SubstitutionCase{"id_above_every_range", "%70000%", "%70000%"},
                    SubstitutionCase{"profile_without_one", "%53%", "%53%"},
                    SubstitutionCase{"cut_to_4097", Repeated("%big%", 11), std::string(4097, 'b')}),
    [](const testing::TestParamInfo<SubstitutionCase> &info) { return std::string(info.param.name); });

TEST(InfSubstitution, UserProfileWhenTheMachineHasOne) {
    TestEngine engine({}, 1252, "C:\\Documents and Settings\\user");
    const win::HINF inf = engine.Open(WithVersion("[S]\na=%53%\n"));
    EXPECT_EQ(engine.Lines(inf, "S"), (Lines{{"a", "C:\\Documents and Settings\\user"}}));
}

struct LanguageCase {
    const char *name;
    sim::setupapi::StringsChoice choice;
    std::string title;
    std::string base;  // defined in [Strings] only
};

class LanguageStrings : public testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageStrings, OneSectionIsChosen) {
    TestEngine engine(GetParam().choice);
    const win::HINF inf = engine.Open(WithVersion(
        "[S]\nt=%title%\nb=%base%\n[Strings]\ntitle=neutral\nbase=base\n[Strings.0407]\ntitle=german\n"
        "[Strings.0007]\ntitle=any german\n[strings.040C]\ntitle=french\n"));
    EXPECT_EQ(engine.Lines(inf, "S"), (Lines{{"t", GetParam().title}, {"b", GetParam().base}}));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, LanguageStrings,
    testing::Values(LanguageCase{"before_xp_only_strings", {false, 0x0407}, "neutral", "base"},
                    LanguageCase{"exact_language", {true, 0x0407}, "german", "%base%"},
                    LanguageCase{"primary_language", {true, 0x0807}, "any german", "%base%"},
                    LanguageCase{"name_case_ignored", {true, 0x040C}, "french", "%base%"},
                    LanguageCase{"no_section_for_language", {true, 0x0409}, "neutral", "base"}),
    [](const testing::TestParamInfo<LanguageCase> &info) { return std::string(info.param.name); });

// In Shift-JIS a trail byte may be "\" or "]": it belongs to its
// character and is no syntax, and it is never folded for comparison.
TEST(InfDoubleByte, TrailBytesAreNoSyntax) {
    TestEngine engine({}, 932);
    const win::HINF inf = engine.Open(WithVersion(
        "[S]\na=\x95\x5c\nb=2\n[\x83\x5d]\nc=3\n[\x89\x41]\nd=4\n[\x89\x61]\ne=5\n[abc]\nf=6\n"));
    ASSERT_NE(inf, win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(engine.Lines(inf, "S"), (Lines{{"a", "\x95\x5c"}, {"b", "2"}}));
    EXPECT_EQ(engine.Lines(inf, "\x83\x5d"), (Lines{{"c", "3"}}));
    EXPECT_EQ(engine.Lines(inf, "\x89\x41"), (Lines{{"d", "4"}}));
    EXPECT_EQ(engine.Lines(inf, "\x89\x61"), (Lines{{"e", "5"}}));
    EXPECT_EQ(engine.Lines(inf, "ABC"), (Lines{{"f", "6"}}));
}

// Lines of the bytes that make the syntax, thrown together: those the
// parser passes over as plain (split at their separators when read) must
// read as the state machine reads them, in both kinds of code page.
TEST(InfPlainLines, ReadAsTheStateMachineReadsThem) {
    const std::string pieces[] = {"a", "bc", " ", "\t", "\r", ",", "=", "\"", "\"\"", ";", "\\", "[", "]",
                                  "\n", "\x95\x5c", "\xa0", std::string(300, 'x')};
    std::mt19937 random(22);
    for (win::UINT codePage : {1252u, 932u}) {
        for (int file = 0; file < 200; ++file) {
            std::string text = "[S]\n";
            for (int piece = 0; piece < 400; ++piece) text += pieces[random() % (sizeof pieces / sizeof *pieces)];
            EXPECT_TRUE(inf_test::PlainLinesReadAsTheStateMachineReads(text, codePage)) << codePage << ": " << text;
        }
    }
}

}  // namespace

// Names of a Unicode file that the code page cannot hold stay as distinct
// as in the file; an ANSI name finds them only when it is the same text in
// Unicode; text comes out with the code page's best fit.
TEST(InfUnicodeFile, KeepsNamesApartAndHandsOutBestFits) {
    TestEngine engine;
    const win::HINF inf = engine.Open(
        "\xef\xbb\xbf" + WithVersion("[A\xe6\x97\xa5]\nk=1\n[A\xe6\x9c\xac]\nk=2\n[a\xe6\x97\xa5]\nk=3\n"   // A日 A本 a日
                                     "[A\xc4\x89]\nk=4\n[B\x7f]\nk=5\n"                                    // Aĉ, B DEL
                                     "[S]\nv=D\xc4\x89 \xce\xa9 \xc5\x81\nw=x\xef\xbc\x8cy\nr=%\xe6\x97\xa5%\n"  // Dĉ Ω Ł, x，y
                                     "[Strings]\n\xe6\x97\xa5=sub\n"));
    ASSERT_NE(inf, win::INVALID_HANDLE_VALUE) << std::hex << win::GetLastError();
    std::vector<std::string> names;
    char name[64];
    for (win::UINT i = 0; engine.Api().EnumInfSections(inf, i, name, sizeof name, nullptr); ++i) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Version", "A?", "A?", "Ac", "B\x7f", "S", "Strings"}));
    EXPECT_EQ(engine.Lines(inf, "A?"), Lines{});
    EXPECT_EQ(engine.Lines(inf, "Ac"), Lines{});
    EXPECT_EQ(engine.Lines(inf, "B\x7f"), (Lines{{"k", "5"}}));
    EXPECT_EQ(engine.Lines(inf, "S"), (Lines{{"v", "Dc O L"}, {"w", "x,y"}, {"r", "sub"}}));
}

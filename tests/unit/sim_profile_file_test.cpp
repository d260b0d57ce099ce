// The parsed form of profile files: the section index, a section's
// entries, Unicode files in the ANSI code page, and what a file costs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/profile/profile_file.h"

namespace {

using sim::ProfileEntry;
using sim::ProfileFile;

template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::vector<std::string> SectionNames(const ProfileFile &file) {
    std::vector<std::string> names;
    for (const ProfileFile::Section &section : file.Sections()) names.emplace_back(file.Name(section));
    return names;
}

// A section's entries as "name=value", "name" without "=".
std::vector<std::string> EntryLines(const ProfileFile &file, const ProfileFile::Section &section) {
    std::vector<std::string> lines;
    ProfileFile::Entries entries = file.EntriesOf(section);
    for (ProfileEntry entry; entries.Next(&entry);)
        lines.push_back(std::string(entry.name) + (entry.hasValue ? "=" + std::string(entry.value) : ""));
    return lines;
}

std::string Utf16(const std::u16string &text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xfe\xff" : "\xff\xfe";
    for (char16_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST(SimProfileFile, SectionsAreIndexedInFileOrder) {
    struct Case {
        std::string text;
        std::vector<std::string> sections;
    } cases[] = {
        {"", {}},
        {"a=1\r\nb=2\r\n", {}},
        {"top=0\r\n[One]\r\n[two]\n[One]\r[]\n", {"One", "two", "One", ""}},
        {"  [ spaced name ]  trailing\r\n", {"spaced name"}},
        {"[a]b]\r\n[c\r\n", {"a]b"}},  // the last "]"; no "]" at all is an entry
        {Bytes("[cut\0here]\r\n"), {"cut"}},
        {"\x1a[ctrl-z]\x1a\r\n", {"ctrl-z"}},
    };
    for (const Case &c : cases) EXPECT_EQ(SectionNames(ProfileFile(c.text, 1252)), c.sections) << c.text;
}

TEST(SimProfileFile, EntriesRunToTheNextHeader) {
    const ProfileFile file(Bytes("[s]\r\n k = v \r\nbare\r\n=one\r\n=two\r\n x=\r\n\0z=1\r\n=after\r\n"
                                 "cut\0name=v\0alue\r\n=\r\n\r\n=three\r\n;c=1\r\n[next]\r\nz=9"),
                           1252);
    ASSERT_EQ(file.Sections().size(), 2u);
    // A nameless line right after another is dropped; a name cut to
    // nothing by a NUL counts as nameless for the line after it.
    EXPECT_EQ(EntryLines(file, file.Sections()[0]),
              (std::vector<std::string>{"k=v", "bare", "=one", "x=", "=1", "cut=v", "=", ";c=1"}));
    EXPECT_EQ(EntryLines(file, file.Sections()[1]), (std::vector<std::string>{"z=9"}));
}

TEST(SimProfileFile, FindsTheFirstSectionOfANameWithoutRegardToCase) {
    const ProfileFile file("[Strings]\r\na=1\r\n[STRINGS]\r\na=2\r\n[Caf\xe9]\r\n", 1252);
    const ProfileFile::Section *found = file.FindSection("STRINGS");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, &file.Sections()[0]);
    EXPECT_NE(file.FindSection("CAF\xc9"), nullptr);
    EXPECT_EQ(file.FindSection("STRING"), nullptr);
}

TEST(SimProfileFile, ShiftJisTrailBytesAreNoBracketsInHeadersOrEntries) {
    // ゾ is 0x83 0x5D; "[\x83\x5D" has no "]" of its own and is an entry.
    const ProfileFile file("[\x83\x5D]\r\n[\x83\x5D\r\n[a]\x83\x5D\r\nk=1\r\n", 932);
    EXPECT_EQ(SectionNames(file), (std::vector<std::string>{"\x83\x5D", "a"}));
    EXPECT_EQ(EntryLines(file, file.Sections()[0]), (std::vector<std::string>{"[\x83\x5D"}));
}

TEST(SimProfileFile, UnicodeFilesAreHeldInTheCodePage) {
    const std::u16string text = u"[Caf\u00e9]\r\n\u65e5\u672c = \u65e5\u672c \r\nName=x\n[\u65e5]\rk=\U0001F600";
    struct Case {
        std::string bytes;
        win::UINT codePage;
        std::vector<std::string> sections;
        std::vector<std::string> firstEntries;
    } cases[] = {
        {Utf16(text, false), 1252, {"Caf\xe9", "?"}, {"?\?=?\?", "Name=x"}},
        {Utf16(text, true), 1252, {"Caf\xe9", "?"}, {"?\?=?\?", "Name=x"}},
        {"\xef\xbb\xbf[Caf\xc3\xa9]\r\n\xe6\x97\xa5\xe6\x9c\xac = \xe6\x97\xa5\xe6\x9c\xac \r\n"
         "Name=x\n[\xe6\x97\xa5]\rk=\xf0\x9f\x98\x80",
         1252, {"Caf\xe9", "?"}, {"?\?=?\?", "Name=x"}},
        {Utf16(text, false), 932, {"Cafe", "\x93\xfa"}, {"\x93\xfa\x96\x7b=\x93\xfa\x96\x7b", "Name=x"}},
    };
    for (const Case &c : cases) {
        const ProfileFile file(c.bytes, c.codePage);
        EXPECT_EQ(SectionNames(file), c.sections) << c.codePage;
        ASSERT_EQ(file.Sections().size(), 2u);
        EXPECT_EQ(EntryLines(file, file.Sections()[0]), c.firstEntries) << c.codePage;
        EXPECT_EQ(EntryLines(file, file.Sections()[1]), (std::vector<std::string>{"k=??"})) << c.codePage;
    }
}

TEST(SimProfileFile, NamesTheCodePageCannotHoldMatchNothing) {
    // "?" stands for a character the code page lacks, and Windows compares
    // the Unicode names: no ANSI argument finds those names, while a real
    // "?" in the file is found.
    std::u16string text = u"[\u65e5]\r\n[?]\r\n\u65e5=1\r\n?=2\r\n_x=3\r\n";
    text[text.find(u'_')] = 0xD800;  // a lone surrogate
    const ProfileFile file(Utf16(text, false), 1252);
    EXPECT_EQ(SectionNames(file), (std::vector<std::string>{"?", "?"}));
    EXPECT_EQ(file.FindSection("?"), &file.Sections()[1]);
    std::vector<std::string> found;
    ProfileFile::Entries entries = file.EntriesOf(file.Sections()[1]);
    for (ProfileEntry entry; entries.Next(&entry);)
        for (const char *wanted : {"?", "?X"})
            if (file.NameIs(entry.name, wanted)) found.push_back(std::string(entry.value));
    EXPECT_EQ(found, (std::vector<std::string>{"2"}));  // not 1, and the lone surrogate's "?x" not 3
}

TEST(SimProfileFile, Utf16OddLastByteIsDropped) {
    std::string bytes = Utf16(u"[s]\r\nk=v", false) + "z";
    const ProfileFile file(bytes, 1252);
    ASSERT_EQ(file.Sections().size(), 1u);
    EXPECT_EQ(EntryLines(file, file.Sections()[0]), (std::vector<std::string>{"k=v"}));
}

TEST(SimProfileFile, HoldsLittleMoreThanTheFile) {
    // An INF-like file of many small sections and keys: the text itself
    // and 16 bytes for each section.
    std::string text = "[Version]\r\nSignature=\"$CHICAGO$\"\r\n";
    for (int i = 0; i < 2000; ++i)
        text += "[M" + std::to_string(i) + ".PPD]\r\nCopyFiles=PSCRIPT\r\nDataFile=M" + std::to_string(i) +
                ".PPD\r\nDriverFile=PSCRIPT.DLL\r\n";
    const ProfileFile file(text, 1252);
    EXPECT_EQ(file.Sections().size(), 2001u);
    EXPECT_LT(file.HeldBytes(), text.size() + 2048 * 16 + 256);
}

}  // namespace

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/profile.h"
#include "sim_files_fixture.h"

namespace {

using namespace win;

// The bytes of a string literal, embedded NULs included.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

class SimProfile : public FilesOnMachine {
protected:
    // One call into a buffer of `size` bytes (0xCC before the call):
    // "ret:" and the first `shown` bytes.
    std::string Get(const char *section, const char *key, const char *defaultValue, DWORD size, std::size_t shown,
                    const char *file = "C:\\test.ini") {
        char buffer[256];
        std::memset(buffer, 0xCC, sizeof buffer);
        const DWORD ret = GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file);
        return std::to_string(ret) + ":" + std::string(buffer, shown);
    }

    // Gives the file a modification time far enough back for the reader
    // to keep it parsed.
    void AgeFile(const std::string &relative) {
        struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, Host(relative).c_str(), times, 0), 0);
    }
};

// Windows documents it: a list cut by a small buffer ends in two NULs and
// the result is size - 2 (Wine writes one NUL, and for a key list in a
// two-byte buffer gives the default instead).
TEST_F(SimProfile, CutNameListsEndInTwoNuls) {
    WriteHostFile("test.ini", "[section1]\r\nname1=1\r\nname2=2\r\n[section2]\r\n");
    EXPECT_EQ(Get(nullptr, nullptr, "", 16, 16), Bytes("14:section1\0secti\0\0"));
    EXPECT_EQ(Get(nullptr, nullptr, "", 19, 19), Bytes("17:section1\0section2\0\0"));
    EXPECT_EQ(Get(nullptr, nullptr, "", 20, 20), Bytes("18:section1\0section2\0\0\xcc"));
    EXPECT_EQ(Get(nullptr, nullptr, "", 2, 2), Bytes("0:\0\0"));
    EXPECT_EQ(Get(nullptr, nullptr, "", 1, 2), Bytes("0:\0\xcc"));
    EXPECT_EQ(Get("section1", nullptr, "", 8, 8), Bytes("6:name1\0\0\0"));
    EXPECT_EQ(Get("section1", nullptr, "NOKEY", 2, 2), Bytes("0:\0\0"));
    EXPECT_EQ(Get("section2", nullptr, "NOKEY", 16, 6), Bytes("5:NOKEY\0"));
    EXPECT_EQ(Get(nullptr, nullptr, "", 0, 1), "0:\xcc");
}

// Windows reads the "[]" section for an empty section name; the lines
// before the first section belong to none (Wine reads those instead).
TEST_F(SimProfile, EmptySectionNameReadsTheBracketPairSection) {
    WriteHostFile("test.ini", "before=0\r\n[a]\r\nk=1\r\n[]\r\nk=2\r\n[  ]\r\nk=3\r\n");
    EXPECT_EQ(Get("", "k", "D", 16, 2), Bytes("1:2\0"));
    EXPECT_EQ(Get(" ", "k", "D", 16, 2), Bytes("1:2\0"));
    EXPECT_EQ(Get("", "before", "D", 16, 2), Bytes("1:D\0"));
    EXPECT_EQ(Get(nullptr, nullptr, "", 16, 3), Bytes("2:a\0\0"));
}

TEST_F(SimProfile, UnicodeFilesAreReadInTheAnsiCodePage) {
    // UTF-16BE and UTF-8 with byte-order marks.
    std::string utf16be = "\xfe\xff";
    for (char16_t c : std::u16string(u"[Sect]\nName=Caf\u00e9 \u65e5\u672c\n\u65e5\u672c=x")) {
        utf16be += static_cast<char>(c >> 8);
        utf16be += static_cast<char>(c & 0xFF);
    }
    WriteHostFile("test.ini", utf16be);
    EXPECT_EQ(Get("sect", "name", "D", 32, 8), Bytes("7:Caf\xe9 ??\0"));
    WriteHostFile("test.ini", "\xef\xbb\xbf[Sect]\nName=Caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac\n\xe6\x97\xa5\xe6\x9c\xac=x\n");
    EXPECT_EQ(Get("sect", "name", "D", 32, 8), Bytes("7:Caf\xe9 ??\0"));
    // A name the code page cannot hold is listed with "?" but found by no
    // ANSI argument.
    EXPECT_EQ(Get("Sect", nullptr, "", 32, 9), Bytes("8:Name\0??\0\0"));
    EXPECT_EQ(Get("Sect", "??", "D", 32, 2), Bytes("1:D\0"));
}

TEST_F(SimProfile, NamesCompareWithoutRegardToCaseInTheCodePage) {
    // Windows compares names as Unicode without regard to case, so É and é
    // are one letter (Wine 8 compares only ASCII letters so).
    WriteHostFile("test.ini", "[Caf\xe9]\r\n\xc9t\xe9=1\r\n");
    EXPECT_EQ(Get("CAF\xc9", "\xe9T\xc9", "D", 16, 2), Bytes("1:1\0"));
}

TEST_F(SimProfile, ShiftJisTrailBytesAreNoBrackets) {
    m_machine.SetIni("System", "AnsiCodePage", "932");
    m_machine.Use();
    // ゾ is 0x83 0x5D: its trail byte is "]" on its own.
    WriteHostFile("test.ini", "[a] \x83\x5D\r\nk=1\r\n");
    EXPECT_EQ(Get("a", "k", "D", 16, 2), Bytes("1:1\0"));
}

TEST_F(SimProfile, ChangedFilesAreReadAgain) {
    WriteHostFile("test.ini", "[s]\r\nk=1\r\n");
    EXPECT_EQ(Get("s", "k", "D", 16, 2), Bytes("1:1\0"));
    WriteHostFile("test.ini", "[s]\r\nk=2\r\n");  // same size, same clock tick
    EXPECT_EQ(Get("s", "k", "D", 16, 2), Bytes("1:2\0"));

    AgeFile("test.ini");
    EXPECT_EQ(Get("s", "k", "D", 16, 2), Bytes("1:2\0"));
    WriteHostFile("test.ini", "[s]\r\nk=33\r\n");
    AgeFile("test.ini");  // same time, other size
    EXPECT_EQ(Get("s", "k", "D", 16, 3), Bytes("2:33\0"));
    WriteHostFile("other.ini", "[s]\r\nk=44\r\n");
    AgeFile("other.ini");
    ASSERT_EQ(std::rename(Host("other.ini").c_str(), Host("test.ini").c_str()), 0);  // same time and size
    EXPECT_EQ(Get("s", "k", "D", 16, 3), Bytes("2:44\0"));
    ASSERT_EQ(std::remove(Host("test.ini").c_str()), 0);
    EXPECT_EQ(Get("s", "k", "D", 16, 2), Bytes("1:D\0"));
}

TEST_F(SimProfile, BareFileNamesAreInTheWindowsFolder) {
    WriteHostFile("WINDOWS/mirtel.ini", "[s]\r\nk=win\r\n");
    EXPECT_EQ(Get("s", "k", "D", 16, 4, "mirtel.ini"), Bytes("3:win\0"));
    WriteHostFile("Here/mirtel.ini", "[s]\r\nk=here\r\n");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Here"));
    EXPECT_EQ(Get("s", "k", "D", 16, 5, ".\\mirtel.ini"), Bytes("4:here\0"));
}

}  // namespace

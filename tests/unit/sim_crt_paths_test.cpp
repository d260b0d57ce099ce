#include <cerrno>
#include <cstdlib>
#include <string>

#include "sim_files_fixture.h"

namespace {

using namespace win;

struct SplitCase {
    const char *path;
    const char *drive;
    const char *dir;
    const char *fname;
    const char *ext;
};

void ExpectSplit(const SplitCase &c) {
    char drive[MAX_DRIVE], dir[MAX_DIR], fname[MAX_FNAME], ext[MAX_EXT];
    CrtSplitPath(c.path, drive, dir, fname, ext);
    EXPECT_STREQ(drive, c.drive) << c.path;
    EXPECT_STREQ(dir, c.dir) << c.path;
    EXPECT_STREQ(fname, c.fname) << c.path;
    EXPECT_STREQ(ext, c.ext) << c.path;
}

using SimCrtPaths = FilesOnMachine;

TEST_F(SimCrtPaths, SplitPathAsTheRuntimeDoes) {
    const SplitCase cases[] = {
        {"C:\\Tools\\Setup\\SETUP.EXE", "C:", "\\Tools\\Setup\\", "SETUP", ".EXE"},
        {"SETUP.EXE", "", "", "SETUP", ".EXE"},
        {"C:\\SETUP.EXE", "C:", "\\", "SETUP", ".EXE"},
        {"C:\\Drivers.2008\\SETUP", "C:", "\\Drivers.2008\\", "SETUP", ""},
        {"a/b\\c.d.e", "", "a/b\\", "c.d", ".e"},
        {"x:", "x:", "", "", ""},
        {"\\\\server\\share\\f.txt", "", "\\\\server\\share\\", "f", ".txt"},
        {".profile", "", "", "", ".profile"},
        {"", "", "", "", ""},
        // Code page 1252: 0x95 0x5C is two characters, the second a "\".
        {"C:\\dir\\\x95\x5C", "C:", "\\dir\\\x95\\", "", ""},
    };
    for (const SplitCase &c : cases) ExpectSplit(c);

    const std::string longName(300, 'n');
    char drive[MAX_DRIVE], dir[MAX_DIR], fname[MAX_FNAME], ext[MAX_EXT];
    CrtSplitPath(("C:\\" + longName + "." + longName).c_str(), drive, dir, fname, ext);
    EXPECT_EQ(std::string(fname), std::string(255, 'n'));
    EXPECT_EQ(std::string(ext), "." + std::string(254, 'n'));
    CrtSplitPath("C:\\only.dir\\name", nullptr, nullptr, fname, nullptr);
    EXPECT_STREQ(fname, "name");
}

TEST_F(SimCrtPaths, SplitPathSkipsTrailBytesUnderShiftJis) {
    m_machine.SetIni("System", "AnsiCodePage", "932");
    m_machine.Use();
    const SplitCase cases[] = {
        // 表 (0x95 0x5C) and ソ (0x83 0x5C) end in a byte that is "\" alone.
        {"C:\\dir\\\x95\x5C", "C:", "\\dir\\", "\x95\x5C", ""},
        {"C:\\\x83\x5C\\\x83\x5C.txt", "C:", "\\\x83\x5C\\", "\x83\x5C", ".txt"},
        {"\x95\x5C.\x83\x5C", "", "", "\x95\x5C", ".\x83\x5C"},
        {"C:\\a\\b\x95", "C:", "\\a\\", "b\x95", ""},  // a lone lead byte at the end
    };
    for (const SplitCase &c : cases) ExpectSplit(c);
}

TEST_F(SimCrtPaths, FullPathResolvesAgainstTheCurrentDirectory) {
    MakeHostFolder("Setup/Sub");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Setup\\Sub"));
    const std::pair<const char *, const char *> cases[] = {
        {".", "C:\\Setup\\Sub"},
        {"..", "C:\\Setup"},
        {"..\\..\\..\\x", "C:\\x"},
        {"x\\y", "C:\\Setup\\Sub\\x\\y"},
        {"\\root", "C:\\root"},
        {"D:x", "D:\\x"},
        {"c:x", "C:\\Setup\\Sub\\x"},
        {"C:/a//b/./c/", "C:\\a\\b\\c\\"},
        {"C:\\a\\b.", "C:\\a\\b"},
        {"C:\\a\\b. . ", "C:\\a\\b"},
        {"C:\\a.\\b", "C:\\a\\b"},
        {"C:\\a...\\b", "C:\\a...\\b"},
        {"C:\\..", "C:\\"},
        {"e:\\Drv", "e:\\Drv"},
        {"\\\\server\\share\\a\\..\\b", "\\\\server\\share\\b"},
        {"\\\\server\\share\\..\\..", "\\\\server\\share"},
        {"", "C:\\Setup\\Sub"},
    };
    for (const auto &c : cases) {
        char buffer[MAX_PATH];
        ASSERT_EQ(CrtFullPath(buffer, c.first, sizeof buffer), buffer) << c.first;
        EXPECT_STREQ(buffer, c.second) << c.first;
    }
}

TEST_F(SimCrtPaths, FullPathLimitsAndAllocation) {
    char small[8];
    errno = 0;
    EXPECT_EQ(CrtFullPath(small, "C:\\Longer\\Path", sizeof small), nullptr);
    EXPECT_EQ(errno, ERANGE);
    EXPECT_NE(CrtFullPath(small, "C:\\1234", sizeof small), nullptr);
    char *allocated = CrtFullPath(nullptr, "C:\\Drivers\\..\\Inf", 4);
    ASSERT_NE(allocated, nullptr);
    EXPECT_STREQ(allocated, "C:\\Inf");
    std::free(allocated);
    EXPECT_EQ(CrtFullPath(nullptr, ("C:\\" + std::string(300, 'x')).c_str(), 0), nullptr);
}

}  // namespace

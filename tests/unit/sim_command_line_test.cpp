#include <gtest/gtest.h>

#include "platform/sim/process/arguments.h"
#include "platform/sim/process/command_line.h"

namespace {

struct SplitCase {
    const char *line;
    std::vector<std::string> words;
};

TEST(SimCommandLine, SplitsAtBlanksAndGroupsQuotes) {
    const SplitCase cases[] = {
        {"rundll32 shell32,SHHelpShortcuts_RunDLL AddPrinter",
         {"rundll32", "shell32,SHHelpShortcuts_RunDLL", "AddPrinter"}},
        {"  a \t b  ", {"a", "b"}},
        {"\"C:\\Program Files\\x.exe\" +G:\"D:\\my drivers\"",
         {"C:\\Program Files\\x.exe", "+G:D:\\my drivers"}},
        {"a \"\" b", {"a", "", "b"}},
        {"\"unterminated quote", {"unterminated quote"}},
        {"", {}},
    };
    for (const SplitCase &c : cases) EXPECT_EQ(sim::SplitCommandLine(c.line), c.words) << c.line;
}

TEST(SimCommandLine, ProgramNameDropsFolderAndExe) {
    const std::pair<const char *, const char *> cases[] = {
        {"rundll32", "rundll32"},
        {"RUNDLL32.EXE", "RUNDLL32"},
        {"C:\\WINDOWS\\system32\\rundll32.Exe", "rundll32"},
        {"tools/setup.exe", "setup"},
        {".exe", ".exe"},
        {"notepad.exe.bak", "notepad.exe.bak"},
    };
    for (const auto &c : cases) EXPECT_EQ(sim::ProgramName(c.first), c.second) << c.first;
}

}  // namespace

// The shell's UTF-8 becomes ANSI text; what is no UTF-8 stays as it is.
TEST(SimCommandLine, HostArgumentsBecomeAnsiText) {
    struct Case {
        const char *argument;
        win::UINT codePage;
        const char *ansi;
    } cases[] = {
        {"+G:Z:\\tmp\\Dr\xc3\xbc" "cker", 1252, "+G:Z:\\tmp\\Dr\xfc" "cker"},
        {"+Q:\xe2\x82\xac", 1252, "+Q:\x80"},
        {"+G:\xe3\x83\x89\xe3\x83\xa9", 932, "+G:\x83h\x83\x89"},
        {"Dr\xfc" "cker", 1252, "Dr\xfc" "cker"},               // ANSI already
        {"\xc3\xbc\xfc\xc3\xbc", 1252, "\xfc\xfc\xfc"},          // valid runs around a stray byte
        {"\xc0\xaf|\xed\xa0\x80|\xf4\x90\x80\x80", 1252,           // overlong, surrogate, past U+10FFFF
         "\xc0\xaf|\xed\xa0\x80|\xf4\x90\x80\x80"},
        {"\xe2\x82", 1252, "\xe2\x82"},                           // cut short
    };
    for (const Case &c : cases) EXPECT_EQ(sim::HostArgumentToAnsi(c.argument, c.codePage), c.ansi) << c.argument;
}

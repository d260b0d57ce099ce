#include <gtest/gtest.h>

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

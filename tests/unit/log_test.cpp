// The log: appended only when switched on, CR LF line ends, entries of any
// length written whole, never through a link.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app_on_machine.h"
#include "lang/log.h"

namespace {

std::string LogText(const testing_machine::MachineFolder &machine) {
    std::ifstream in(machine.HostPath("drive_c/WINDOWS/Temp/PSLOG.TXT"), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Log, AppendsEntriesAsTextWithWindowsLineEnds) {
    testing_machine::MachineFolder machine;
    auto app = LoggingApp(machine);
    WriteLog(app.get(), "LangsDef-file-path[%s]", "Internal Table");
    WriteLog(app.get(), "Inf : [%s] = [%d]\n", "DevicePath", 7);
    WriteLog(app.get(), "Err : done\n");
    EXPECT_EQ(LogText(machine),
              "LangsDef-file-path[Internal Table]Inf : [DevicePath] = [7]\r\nErr : done\r\n");
}

TEST(Log, LongEntriesAreWrittenWhole) {
    testing_machine::MachineFolder machine;
    auto app = LoggingApp(machine);
    const std::string value(3000, 'x');
    WriteLog(app.get(), "Inf : [DevicePath]           Original Value = [%s]\n", value.c_str());
    EXPECT_EQ(LogText(machine),
              "Inf : [DevicePath]           Original Value = [" + value + "]\r\n");
}

TEST(Log, WritesNothingWhenOffOrWithoutAFolder) {
    testing_machine::MachineFolder machine;
    auto app = LoggingApp(machine);
    app->m_bLogOutput = FALSE;
    WriteLog(app.get(), "Inf : off\n");
    app->m_bLogOutput = TRUE;
    app->m_strTempDir.clear();
    WriteLog(app.get(), "Inf : no folder\n");
    std::ifstream log(machine.HostPath("drive_c/WINDOWS/Temp/PSLOG.TXT"));
    EXPECT_FALSE(log.good()) << "no log file may be made";
}

// The temporary folder is the user's; the program runs as an administrator.
// A PSLOG.TXT there that leads to another file is not written through.
TEST(Log, IsNotWrittenThroughALink) {
    const struct {
        const char *name;
        int (*link)(const char *target, const char *path);
    } cases[] = {{"symbolic link", symlink}, {"second hard link", ::link}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        testing_machine::MachineFolder machine;
        auto app = LoggingApp(machine);
        const std::string protectedFile = machine.HostPath("drive_c/WINDOWS/system32/protected.txt");
        std::filesystem::create_directories(machine.HostPath("drive_c/WINDOWS/system32"));
        std::ofstream(protectedFile) << "administrators only";
        ASSERT_EQ(c.link(protectedFile.c_str(), machine.HostPath("drive_c/WINDOWS/Temp/PSLOG.TXT").c_str()), 0);
        WriteLog(app.get(), "Inf : Start Add Printer Wizard\n");
        std::ifstream in(protectedFile);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "administrators only");
    }
}

}  // namespace

// Is the Add Printer Wizard open: the printer library held open by another
// process, the wizard's window found by the title the system supplies, and
// the open wizard brought to the front.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "unit/app_on_machine.h"
#include "unit/lang_test_files.h"
#include "unit/locking_process.h"

namespace {

using Lines = std::vector<std::string>;

class FileIsUsed : public AppOnMachine {
protected:
    const std::string kLibrary = "drive_c/WINDOWS/system32/NTPRINT.DLL";
};

TEST_F(FileIsUsed, OnlyAFileHeldByAnotherProcessIsInUse) {
    WriteHostFile(m_machine.HostPath(kLibrary), "library");
    CMirtelApp &app = App();
    EXPECT_FALSE(app.kFileIsUsed("C:\\WINDOWS\\system32", "NTPRINT.DLL")) << "free";
    {
        LockingProcess holder(m_machine.HostPath(kLibrary));
        ASSERT_TRUE(holder.Locked());
        EXPECT_TRUE(app.kFileIsUsed("C:\\WINDOWS\\system32", "NTPRINT.DLL")) << "held";
    }
    EXPECT_FALSE(app.kFileIsUsed("C:\\WINDOWS\\system32", "NTPRINT.DLL")) << "let go";
    EXPECT_FALSE(app.kFileIsUsed("C:\\WINDOWS\\system32", "MSPRINT2.DLL")) << "missing";
    const std::string ntPrint =
        "CMirtelApp::kFileIsUsed  File Name [C:\\WINDOWS\\system32\\NTPRINT.DLL]";
    EXPECT_EQ(LogLines(), (Lines{ntPrint, ntPrint,
                                 "CMirtelApp::kFileIsUsed  OpenFile GetLastError [32]", ntPrint,
                                 "CMirtelApp::kFileIsUsed  File Name "
                                 "[C:\\WINDOWS\\system32\\MSPRINT2.DLL]",
                                 "CMirtelApp::kFileIsUsed  OpenFile GetLastError [2]"}));
}

// In code page 932 the trail byte of a double-byte character may be 0x5C,
// the backslash: a folder ending in such a character still needs one.
TEST_F(FileIsUsed, FolderEndingInADoubleByteCharacterGetsItsBackslash) {
    m_machine.SetIni("System", "AnsiCodePage", "932");
    const std::string folder = "C:\\\x83\x5C";  // "C:\" and KATAKANA LETTER SO
    const std::string hostFile = m_machine.HostPath("drive_c/\xE3\x82\xBD/NTPRINT.DLL");
    WriteHostFile(hostFile, "library");
    LockingProcess holder(hostFile);
    ASSERT_TRUE(holder.Locked());
    EXPECT_TRUE(App().kFileIsUsed(folder, "NTPRINT.DLL"));
    ASSERT_FALSE(LogLines().empty());
    EXPECT_EQ(LogLines()[0], "CMirtelApp::kFileIsUsed  File Name [" + folder + "\\NTPRINT.DLL]");
}

TEST_F(FileIsUsed, EmptyFolderTriesTheEmptyPath) {
    EXPECT_FALSE(App().kFileIsUsed("", "NTPRINT.DLL"));
    ASSERT_FALSE(LogLines().empty());
    EXPECT_EQ(LogLines()[0], "CMirtelApp::kFileIsUsed  File Name []");
}

// A machine with the given system directory, library title strings and
// other programs' windows, and nothing else of either.
void SetUpLibraries(testing_machine::MachineFolder &machine, const char *systemDirectory,
                    const std::vector<std::pair<const char *, const char *>> &strings,
                    const std::vector<std::pair<const char *, const char *>> &windows) {
    std::string ini = machine.IniText();
    const std::string templateTitle = "PRINTUI.DLL.15114=Add Printer Wizard\n";
    const std::size_t at = ini.find(templateTitle);
    if (at != std::string::npos) ini.erase(at, templateTitle.size());
    machine.ReplaceIni(ini);
    machine.SetIni("System", "SystemDirectory", systemDirectory);
    for (const auto &entry : strings) machine.SetIni("Strings", entry.first, entry.second);
    for (const auto &entry : windows) machine.SetIni("Windows", entry.first, entry.second);
}

struct WizardCase {
    const char *label;
    WORD osCode;
    const char *systemDirectory;
    std::vector<std::pair<const char *, const char *>> strings;  // LIBRARY.ID, text
    std::vector<std::pair<const char *, const char *>> windows;  // title, handle
    BOOL open;
    Lines log;
};

const char *const kNtLibrary =
    "CMirtelApp::kCheckAddWizard()  strDLLName [C:\\WINDOWS\\system32\\PRINTUI.DLL]";

TEST(CheckAddWizard, LooksForTheWindowTitledAsTheSystemSays) {
    const WizardCase cases[] = {
        {"NT 6 with the wizard open", kOSWinNT5, "C:\\WINDOWS\\system32",
         {{"PRINTUI.DLL.15114", "Add Printer"}},
         {{"Add Printer", "0x00020040"}},
         TRUE,
         {kNtLibrary, "CMirtelApp::kCheckAddWizard() szBuff[Add Printer] ",
          "CMirtelApp::kCheckAddWizard()  hWnd [0000000000020040] Return TRUE"}},
        {"NT 4 with the wizard open", kOSWinNT4, "C:\\WINDOWS\\system32",
         {{"PRINTUI.DLL.15114", "Add Printer"}},
         {{"Add Printer", "0x00020040"}},
         TRUE,
         {kNtLibrary, "CMirtelApp::kCheckAddWizard() szBuff[Add Printer] ",
          "CMirtelApp::kCheckAddWizard()  hWnd [0000000000020040] Return TRUE"}},
        {"NT without the window", kOSWinNT5, "C:\\WINDOWS\\system32",
         {{"PRINTUI.DLL.15114", "Add Printer"}},
         {{"Printers", "0x00020040"}},
         FALSE,
         {kNtLibrary, "CMirtelApp::kCheckAddWizard() szBuff[Add Printer] ",
          "CMirtelApp::kCheckAddWizard()  Return FALSE"}},
        {"NT without the library", kOSWinNT5, "C:\\WINDOWS\\system32",
         {{"MSPRINT.DLL.2", "Add Printer"}},
         {{"Add Printer", "0x00020040"}},
         FALSE,
         {kNtLibrary, "CMirtelApp::kCheckAddWizard()  hInst NULL Return FALSE"}},
        {"NT library without the title", kOSWinNT5, "C:\\WINDOWS\\system32",
         {{"PRINTUI.DLL.1", "Add Printer"}},
         {{"Add Printer", "0x00020040"}},
         FALSE,
         {kNtLibrary, "CMirtelApp::kCheckAddWizard()  iLen [0] GetLastError:[1814] Return FALSE"}},
        {"9x with the wizard open", kOSWin98, "C:\\WINDOWS\\SYSTEM\\",
         {{"PRINTUI.DLL.15114", "Add Printer"}, {"MSPRINT.DLL.2", "Add Printer Wizard"}},
         {{"Add Printer Wizard", "0x00030050"}},
         TRUE,
         {"CMirtelApp::kCheckAddWizard()  strDLLName [C:\\WINDOWS\\SYSTEM\\MSPRINT.DLL]",
          "CMirtelApp::kCheckAddWizard() szBuff[Add Printer Wizard] ",
          "CMirtelApp::kCheckAddWizard()  hWnd [0000000000030050] Return TRUE"}},
        {"9x does not ask the NT library", kOSWin95, "C:\\WINDOWS\\SYSTEM",
         {{"PRINTUI.DLL.15114", "Add Printer"}},
         {{"Add Printer", "0x00020040"}},
         FALSE,
         {"CMirtelApp::kCheckAddWizard()  strDLLName [C:\\WINDOWS\\SYSTEM\\MSPRINT.DLL]",
          "CMirtelApp::kCheckAddWizard()  hInst NULL Return FALSE"}},
    };
    for (const WizardCase &c : cases) {
        testing_machine::MachineFolder machine;
        SetUpLibraries(machine, c.systemDirectory, c.strings, c.windows);
        std::unique_ptr<CMirtelApp> app = LoggingApp(machine);
        app->m_nOSCode = c.osCode;
        EXPECT_EQ(app->kCheckAddWizard(), c.open) << c.label;
        EXPECT_EQ(LogLines(machine), c.log) << c.label;
    }
}

struct ActivateCase {
    const char *label;
    const char *platformId;
    const char *systemDirectory;
    std::vector<std::pair<const char *, const char *>> strings;
    const char *foreground;  // null: nothing brought to the front
};

TEST(ActivateAddWizard, BringsTheOpenWizardToTheFront) {
    const ActivateCase cases[] = {
        {"NT", "2", "C:\\WINDOWS\\system32", {{"PRINTUI.DLL.15114", "Add Printer"}}, "0x20040"},
        {"NT without the title", "2", "C:\\WINDOWS\\system32", {{"PRINTUI.DLL.1", "Add Printer"}},
         nullptr},
        {"9x", "1", "C:\\WINDOWS\\SYSTEM", {{"MSPRINT.DLL.2", "Add Printer"}}, "0x20040"},
        // The 9x library is the system folder's, wherever that is.
        {"9x elsewhere", "1", "D:\\WIN98\\SYSTEM", {{"MSPRINT.DLL.2", "Add Printer"}}, "0x20040"},
        {"9x with the NT title only", "1", "C:\\WINDOWS\\SYSTEM",
         {{"PRINTUI.DLL.15114", "Add Printer"}}, nullptr},
    };
    for (const ActivateCase &c : cases) {
        testing_machine::MachineFolder machine;
        machine.SetIni("Version", "PlatformId", c.platformId);
        machine.SetIni("Version", "MajorVersion", "4");
        machine.SetIni("Version", "MinorVersion", "0");
        SetUpLibraries(machine, c.systemDirectory, c.strings, {{"Add Printer", "0x00020040"}});
        std::unique_ptr<CMirtelApp> app = LoggingApp(machine);
        app->kActivateAddWizard();
        EXPECT_EQ(app->m_nOSCode, c.platformId[0] == '2' ? kOSWinNT4 : kOSWin95) << c.label;
        Lines fronts;
        for (const auto &event : machine.Transcript())
            if (event.at("event") == "foreground") fronts.push_back(event.at("hwnd"));
        EXPECT_EQ(fronts, c.foreground ? Lines{c.foreground} : Lines{}) << c.label;
        EXPECT_TRUE(LogLines(machine).empty()) << c.label;
    }
}

}  // namespace

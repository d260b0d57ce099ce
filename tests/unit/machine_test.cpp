// The machine folder: the built-in template, machine.ini's rules, and
// machines that cannot be used (exit status 2, the file and line named,
// nothing written).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/registry.h"
#include "platform/sim/machine/machine.h"
#include "support/machine_fixture.h"
#include "support/paths.h"

namespace fs = std::filesystem;

namespace {

TEST(Machine, TemplateIsAnEnglishWindowsXpWithAnAdministrator) {
    testing_machine::MachineFolder folder;
    folder.Use();
    const sim::Machine &machine = sim::Machine::Get();
    EXPECT_EQ(machine.Folder(), folder.Path());
    EXPECT_EQ(machine.Number("Version", "PlatformId", -1), 2);
    EXPECT_EQ(machine.Number("Version", "MajorVersion", -1), 5);
    EXPECT_EQ(machine.Number("Version", "MinorVersion", -1), 1);
    EXPECT_EQ(machine.Number("Version", "BuildNumber", -1), 2600);
    EXPECT_EQ(machine.Number("System", "DefaultLangID", -1), 0x0409);
    EXPECT_EQ(machine.AnsiCodePage(), 1252u);
    EXPECT_EQ(machine.Number("System", "Administrator", -1), 1);
    const std::string wizard = machine.String("Programs", "rundll32", "");
    EXPECT_EQ(fs::path(wizard).filename(), "mirtel-addprinter");
    for (const char *sub : {"drive_c/WINDOWS/system32", "drive_c/WINDOWS/Inf", "drive_c/WINDOWS/Temp"})
        EXPECT_TRUE(fs::is_directory(folder.HostPath(sub))) << sub;
    EXPECT_TRUE(fs::is_empty(folder.HostPath("drive_c/WINDOWS/Inf")));

    const auto devicePath =
        folder.RegistryValue("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "DevicePath");
    ASSERT_TRUE(devicePath.has_value());
    EXPECT_EQ(devicePath->type, win::REG_EXPAND_SZ);
    EXPECT_EQ(devicePath->data, std::string("%SystemRoot%\\inf\0", 17));
}

TEST(Machine, IniKeysIgnoreCaseNumbersAreDecimalOrHexCommentsAreDropped) {
    testing_machine::MachineFolder folder;
    folder.ReplaceIni(
        "; a machine written by hand\n"
        "[version]\n"
        "MAJORVERSION = 6 ; Vista\n"
        "minorversion=0x0\n"
        "SuiteMask=0x0110\n"
        "  BuildNumber\t=\t6002  \n"
        "\n"
        "[SYSTEM]\n"
        "TempPath=D:\\Temp\\\n"
        "AnsiCodePage=932\n"
        "ScreenWidth=\n"
        "[Strings]\n"
        "PRINTUI.DLL.15114=Add Printer\n"
        "MSPRINT.DLL.2=Add Printer Wizard ; comment\n");
    folder.Use();
    const sim::Machine &machine = sim::Machine::Get();
    const struct {
        const char *section;
        const char *key;
        long expected;
    } numbers[] = {
        {"Version", "MajorVersion", 6},  {"VERSION", "minorVERSION", 0},
        {"Version", "SuiteMask", 0x110}, {"Version", "BuildNumber", 6002},
        {"Version", "PlatformId", 2},    // missing: the default
        {"System", "AnsiCodePage", 932}, {"System", "ScreenWidth", 1024},  // empty: the default
    };
    const long defaults[] = {5, 1, 0, 2600, 2, 1252, 1024};
    for (std::size_t i = 0; i < sizeof numbers / sizeof numbers[0]; ++i)
        EXPECT_EQ(machine.Number(numbers[i].section, numbers[i].key, defaults[i]), numbers[i].expected)
            << numbers[i].key;
    EXPECT_EQ(machine.String("system", "TEMPPATH", ""), "D:\\Temp\\");
    EXPECT_EQ(machine.String("System", "Missing", "fallback"), "fallback");
    const auto strings = machine.Section("strings");
    ASSERT_EQ(strings.size(), 2u);
    EXPECT_EQ(strings[0], std::make_pair(std::string("PRINTUI.DLL.15114"), std::string("Add Printer")));
    EXPECT_EQ(strings[1].second, "Add Printer Wizard");
}

TEST(Machine, DrivesAreRelativeToTheFolderOrAbsolute) {
    testing_machine::MachineFolder folder;
    folder.SetIni("Drives", "d", "/srv/package/");
    folder.SetIni("Drives", "E", "media");
    folder.Use();
    const auto &drives = sim::Machine::Get().Drives();
    EXPECT_EQ(drives.at('C'), folder.Path() + "/drive_c");
    EXPECT_EQ(drives.at('Z'), "/");
    EXPECT_EQ(drives.at('D'), "/srv/package");
    EXPECT_EQ(drives.at('E'), folder.Path() + "/media");
}

TEST(Machine, NamedFolderThatDoesNotExistIsMadeFromTheTemplate) {
    testing_machine::MachineFolder scratch;
    const std::string fresh = scratch.HostPath("more/fresh-machine");
    const std::string before = sim::Machine::Get().Folder();
    sim::Machine::UseFolder(fresh);
    EXPECT_TRUE(fs::exists(fresh + "/machine.ini"));
    EXPECT_TRUE(fs::exists(fresh + "/registry.reg"));
    EXPECT_EQ(sim::Machine::Get().Folder(), fresh);
    sim::Machine::UseFolder(before);
}

TEST(MachineDeathTest, FolderWithoutMachineIniIsRefusedAndLeftAlone) {
    testing_machine::MachineFolder scratch;
    const std::string empty = scratch.HostPath("empty");
    fs::create_directory(empty);
    EXPECT_EXIT(sim::Machine::UseFolder(empty), ::testing::ExitedWithCode(2), "empty.*no machine.ini");
    EXPECT_TRUE(fs::is_empty(empty));
}

TEST(MachineDeathTest, UnreadableMachineIniNamesFileAndLine) {
    const struct {
        const char *text;
        const char *message;
    } cases[] = {
        {"[Version]\nMajorVersion=5\nthis is not a key\n", "machine.ini:3: "},
        {"MajorVersion=5\n", "machine.ini:1: "},
        {"[Version\n", "machine.ini:1: "},
        {"[Version]\n\nMajorVersion=five\n", "machine.ini:3: .*MajorVersion"},
        {"[System]\nAdministrator=0x\n", "machine.ini:2: "},
        {"[System]\nDefaultLangID=09x0\n", "machine.ini:2: "},
        {"[Drives]\nDD=/srv\n", "machine.ini:2: "},
    };
    for (const auto &c : cases) {
        testing_machine::MachineFolder folder;
        folder.ReplaceIni(c.text);
        EXPECT_EXIT(folder.Use(), ::testing::ExitedWithCode(2), c.message) << c.text;
        EXPECT_EQ(folder.IniText(), c.text);
    }
}

TEST(MachineDeathTest, UnreadableRegistryNamesFileAndLineAndIsNotRewritten) {
    testing_machine::MachineFolder folder;
    const std::string broken = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"x\"=dword:zz\n";
    std::ofstream(folder.HostPath("registry.reg"), std::ios::binary) << broken;
    folder.Use();
    const auto write = [] {
        win::HKEY key = nullptr;
        win::RegCreateKeyExA(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\New", 0, nullptr, 0, win::KEY_ALL_ACCESS,
                             nullptr, &key, nullptr);
    };
    EXPECT_EXIT(write(), ::testing::ExitedWithCode(2), "registry.reg:4: ");
    EXPECT_EQ(folder.FileText("registry.reg"), broken);
}

bool SetupIsBuilt() { return access((testing_paths::BinDir() + "/setup").c_str(), X_OK) == 0; }

// The default folder is made from the template on first use; this needs
// a whole program that starts with nothing named.
TEST(Machine, DefaultFolderIsMadeUnderXdgStateHome) {
    if (!SetupIsBuilt()) GTEST_SKIP() << "setup is not built";
    const std::string setup = testing_paths::BinDir() + "/setup";
    testing_machine::MachineFolder scratch;
    const std::string state = scratch.HostPath("state");
    testing_machine::RunProgram(setup, {}, {{"MIRTEL_MACHINE", ""}, {"XDG_STATE_HOME", state}});
    EXPECT_TRUE(fs::exists(state + "/mirtel/machine/machine.ini"));
    EXPECT_TRUE(fs::exists(state + "/mirtel/machine/registry.reg"));
}

TEST(Machine, ProgramStopsWithStatusTwoOnAnUnusableMachine) {
    if (!SetupIsBuilt()) GTEST_SKIP() << "setup is not built";
    testing_machine::MachineFolder badIni;
    badIni.ReplaceIni("[System]\nAdministrator=yes\n");
    testing_machine::RunResult run = badIni.RunSetup({});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("machine.ini:2: "), std::string::npos) << run.err;
    EXPECT_EQ(badIni.IniText(), "[System]\nAdministrator=yes\n");

    testing_machine::MachineFolder badRegistry;
    const std::string broken = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\nnot a value\n";
    std::ofstream(badRegistry.HostPath("registry.reg"), std::ios::binary) << broken;
    run = badRegistry.RunSetup({});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("registry.reg:3: "), std::string::npos) << run.err;
    EXPECT_EQ(badRegistry.FileText("registry.reg"), broken);
}

}  // namespace

// Whole runs of `setup` on fresh machines: which INF files it accepts and
// what it leaves in the system's INF store on each family of Windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/inf_test_files.h"
#include "support/machine_fixture.h"
#include "support/paths.h"

namespace {

namespace fs = std::filesystem;
using inf_testing::Exists;
using inf_testing::PrinterInf;
using inf_testing::ReadFile;
using inf_testing::WriteFile;

enum class Windows { k95, kNT4, kXP };

class InfScenarioTest : public ::testing::Test {
protected:
    // A fresh machine of that family with a wizard that ends at once, and
    // a package holding the program and, unless the files of `package` are
    // given, a message file whose texts are the message keys themselves.
    void MakeMachine(Windows windows, const std::string &package = std::string()) {
        m_machine = std::make_unique<testing_machine::MachineFolder>();
        switch (windows) {
        case Windows::k95:
            Machine().SetIni("Version", "PlatformId", "1");
            Machine().SetIni("Version", "MajorVersion", "4");
            Machine().SetIni("Version", "MinorVersion", "0");
            Machine().SetIni("System", "SystemDirectory", "C:\\WINDOWS\\SYSTEM");
            break;
        case Windows::kNT4:
            Machine().SetIni("Version", "MajorVersion", "4");
            Machine().SetIni("Version", "MinorVersion", "0");
            Machine().SetIni("Version", "BuildNumber", "1381");
            break;
        case Windows::kXP:
            break;
        }
        Machine().SetIni("Programs", "rundll32", "/bin/true");
        Machine().StagePackage(package);
        if (!package.empty()) return;
        AddToPackage("RES/PSDI_ENG.IRC",
                     "[String]\nIDS_ERR_READINF=IDS_ERR_READINF\n"
                     "IDS_ERR_SOURCEPATHNG=IDS_ERR_SOURCEPATHNG\n");
    }
    testing_machine::MachineFolder &Machine() const { return *m_machine; }
    void AddToPackage(const std::string &relative, const std::string &bytes) {
        WriteFile(Machine().PackagePath() + "/" + relative, bytes);
    }
    std::string Store(const std::string &relative = std::string()) {
        return Machine().HostPath("drive_c/WINDOWS/Inf/" + relative);
    }
    std::set<std::string> StoreFiles() {
        std::set<std::string> files;
        for (const auto &entry : fs::recursive_directory_iterator(Store()))
            files.insert(fs::relative(entry.path(), Store()).string());
        return files;
    }

    // "+9" keeps the wizard run away from the registry: these runs are
    // about the INF steps before it.
    void Run() {
        const testing_machine::RunResult run = Machine().RunSetup({"+9"});
        EXPECT_EQ(run.status, 0) << run.err;
    }
    // The texts of the message boxes shown through ShowMessage (a notice
    // file's box has another style).
    std::vector<std::string> Boxes() const {
        std::vector<std::string> boxes;
        for (const auto &event : Machine().Transcript())
            if (event.at("event") == "messagebox" && event.at("style") == "0x30")
                boxes.push_back(event.at("text"));
        return boxes;
    }
    bool WizardStarted() const {
        for (const auto &event : Machine().Transcript())
            if (event.at("event") == "process") return true;
        return false;
    }

    std::unique_ptr<testing_machine::MachineFolder> m_machine;
};

const std::string kNTInf = PrinterInf("$Windows NT$", {"Talvo A", "Talvo B"});
const std::vector<std::string> kNone;

TEST_F(InfScenarioTest, LaterNTAcceptsTheNTInfAndLeavesTheStoreAlone) {
    MakeMachine(Windows::kXP);
    AddToPackage("TALVO.INF", kNTInf);
    const std::set<std::string> before = StoreFiles();
    Run();
    EXPECT_EQ(Boxes(), kNone);
    EXPECT_TRUE(WizardStarted());
    EXPECT_EQ(StoreFiles(), before);
}

TEST_F(InfScenarioTest, Windows95RefusesAPackageWithOnlyAnNTInf) {
    MakeMachine(Windows::k95);
    AddToPackage("TALVO.INF", kNTInf);
    Run();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"IDS_ERR_SOURCEPATHNG"});
    EXPECT_FALSE(WizardStarted());
}

TEST_F(InfScenarioTest, AnInfWithoutClassIsNamedInTheMessage) {
    MakeMachine(Windows::kXP);
    AddToPackage("A_NOCLASS.INF", "[Version]\nSignature=\"$Windows NT$\"\n");
    AddToPackage("TALVO.INF", kNTInf);
    Run();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"IDS_ERR_READINF\nD:\\A_NOCLASS.INF"});
    EXPECT_FALSE(WizardStarted());
}

TEST_F(InfScenarioTest, NT4CopiesIntoTheFirstFreeOemName) {
    struct Case {
        const char *name;
        std::vector<std::string> existing;
        std::string expected;
    };
    const Case cases[] = {
        {"empty store", {}, "OEM0.inf"},
        {"OEM0 and OEM2 present", {"OEM0.inf", "OEM2.inf"}, "OEM1.inf"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MakeMachine(Windows::kNT4);
        AddToPackage("TALVO.INF", kNTInf);
        for (const std::string &name : c.existing)
            WriteFile(Store(name), PrinterInf("$Windows NT$", {"Other X"}));
        Run();
        EXPECT_EQ(Boxes(), kNone);
        EXPECT_TRUE(WizardStarted());
        EXPECT_EQ(ReadFile(Store(c.expected)), kNTInf);
        for (const std::string &name : c.existing)
            EXPECT_EQ(ReadFile(Store(name)), PrinterInf("$Windows NT$", {"Other X"}));
    }
}

TEST_F(InfScenarioTest, NT4ReplacesOlderCopiesOfItsModels) {
    MakeMachine(Windows::kNT4);
    AddToPackage("TALVO.INF", kNTInf);
    WriteFile(Store("OEM3.inf"), PrinterInf("$Windows NT$", {"Talvo A"}));
    WriteFile(Store("OEM3.PNF"), "pnf");
    WriteFile(Store("OEM7.inf"), PrinterInf("$Windows NT$", {"Talvo B", "Talvo A"}));
    WriteFile(Store("OEM7.PNF"), "pnf");
    Run();
    EXPECT_EQ(Boxes(), kNone);
    EXPECT_EQ(ReadFile(Store("OEM3.inf")), kNTInf);
    EXPECT_EQ(StoreFiles(), std::set<std::string>{"OEM3.inf"});
}

TEST_F(InfScenarioTest, NT4WithoutAUsableSetupApiFailsWithoutAName) {
    MakeMachine(Windows::kNT4);
    Machine().SetIni("SetupApi", "Present", "0");
    AddToPackage("TALVO.INF", kNTInf);
    Run();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"IDS_ERR_READINF"});
    EXPECT_TRUE(StoreFiles().empty());
}

const std::string k95Inf = "[Version]\nSignature=\"$CHICAGO$\"\nClass=Printer\nProvider=%Mfg%\n"
                           "[Manufacturer]\n%Mfg%=ABC\n[ABC]\n\"ABC Laser\"=LASER.PPD\n"
                           "[Strings]\nMfg=ABC\n";

TEST_F(InfScenarioTest, Windows95CopiesToInfOtherUnderProviderAndName) {
    MakeMachine(Windows::k95);
    AddToPackage("DRV.INF", k95Inf);
    Run();
    EXPECT_EQ(Boxes(), kNone);
    EXPECT_TRUE(WizardStarted());
    EXPECT_EQ(ReadFile(Store("Other/ABCDRV.INF")), k95Inf);
}

TEST_F(InfScenarioTest, Windows95OverwritesAReadOnlyCopy) {
    MakeMachine(Windows::k95);
    AddToPackage("DRV.INF", k95Inf);
    WriteFile(Store("Other/ABCDRV.INF"), "old");
    Machine().Use();
    const char *destination = "C:\\WINDOWS\\Inf\\Other\\ABCDRV.INF";
    ASSERT_TRUE(win::SetFileAttributesA(destination, win::FILE_ATTRIBUTE_READONLY));
    Run();
    EXPECT_EQ(Boxes(), kNone);
    EXPECT_EQ(ReadFile(Store("Other/ABCDRV.INF")), k95Inf);
    EXPECT_EQ(win::GetFileAttributesA(destination) & win::FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(InfScenarioTest, Windows95RefusesAProviderThatLeavesInfOther) {
    MakeMachine(Windows::k95);
    std::string inf = k95Inf;
    inf.replace(inf.find("Mfg=ABC"), 7, "Mfg=..\\..\\SYSTEM\\");
    AddToPackage("DRV.INF", inf);
    Run();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"IDS_ERR_READINF\nD:\\DRV.INF"});
    EXPECT_FALSE(WizardStarted());
    EXPECT_FALSE(Exists(Machine().HostPath("drive_c/WINDOWS/SYSTEM/DRV.INF")));
    EXPECT_TRUE(fs::is_empty(Store("Other")));
}

TEST_F(InfScenarioTest, TheExamplePackageOnEachFamily) {
    const std::string example = testing_paths::SourceDir() + "/examples/package";
    const std::string ntInf = ReadFile(example + "/TALVONT.INF");
    const std::string inf95 = ReadFile(example + "/TALVO95.INF");
    ASSERT_FALSE(ntInf.empty());
    ASSERT_FALSE(inf95.empty());
    struct Case {
        const char *name;
        Windows windows;
        std::set<std::string> store;  // what the INF store holds afterwards
        std::string copied;           // under Inf, the copy of our INF
        std::string inf;              // the INF copied
    };
    const Case cases[] = {
        {"Windows XP", Windows::kXP, {}, "", ""},
        {"Windows NT 4.0", Windows::kNT4, {"OEM0.inf"}, "OEM0.inf", ntInf},
        {"Windows 95", Windows::k95, {"Other", "Other/TalvoTALVO95.INF"}, "Other/TalvoTALVO95.INF",
         inf95},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MakeMachine(c.windows, example);
        Run();
        EXPECT_EQ(Boxes(), kNone);
        EXPECT_TRUE(WizardStarted());
        EXPECT_EQ(StoreFiles(), c.store);
        if (!c.copied.empty()) {
            EXPECT_EQ(ReadFile(Store(c.copied)), c.inf);
        }
    }
}

}  // namespace

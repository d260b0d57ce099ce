// Whole runs that show which language the installer speaks: the message
// file it picks for the system language and for +H:, the box when none can
// be loaded or LANGSDEF.INI is invalid, and the notice file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "lang/resource_file.h"
#include "support/machine_fixture.h"
#include "support/paths.h"

namespace {

namespace fs = std::filesystem;
using testing_machine::MachineFolder;
using testing_machine::TranscriptEvent;

std::string ExamplePackage() { return testing_paths::SourceDir() + "/examples/package"; }

// A message of the example package as the user reads it (UTF-8), from the
// UTF-8 source of that language's message file.
std::string Message(const char *code, const char *key) {
    MachineFolder reader;
    reader.Use();
    std::string path = "Z:" + testing_paths::SourceDir() + "/examples/messages/PSDI_" + code + ".IRC";
    std::replace(path.begin(), path.end(), '/', '\\');
    CResourceFile file;
    EXPECT_TRUE(file.Load(path.c_str())) << path;
    CString text;
    EXPECT_TRUE(file.GetString(key, text)) << code << " " << key;
    return text;
}

std::vector<TranscriptEvent> Boxes(const MachineFolder &machine) {
    std::vector<TranscriptEvent> boxes;
    for (const TranscriptEvent &event : machine.Transcript())
        if (event.at("event") == "messagebox") boxes.push_back(event);
    return boxes;
}

// A machine whose system speaks `langId` in code page `codePage`, and on
// which no Windows version is supported, so that every run ends with the
// "IDS_ERR_OSVERSION" box right after the language is chosen.
class LanguageRun : public ::testing::Test {
protected:
    void SetSystem(const char *langId, const char *codePage) {
        m_machine.SetIni("System", "DefaultLangID", langId);
        m_machine.SetIni("System", "AnsiCodePage", codePage);
        m_machine.SetIni("Version", "PlatformId", "0");
    }
    // The staged package with only the message files of `codes`.
    void StageMessages(const std::vector<const char *> &codes) {
        const std::string package = m_machine.StagePackage();
        fs::create_directories(package + "/RES");
        for (const char *code : codes) {
            const std::string name = std::string("PSDI_") + code + ".IRC";
            fs::copy_file(ExamplePackage() + "/RES/" + name, package + "/RES/" + name);
        }
    }
    // Runs setup; expects exactly one box and returns it.
    TranscriptEvent RunForOneBox(const std::vector<std::string> &arguments) {
        m_machine.RunSetup(arguments);
        std::vector<TranscriptEvent> boxes = Boxes(m_machine);
        EXPECT_EQ(boxes.size(), 1u);
        return boxes.empty() ? TranscriptEvent{} : boxes[0];
    }
    void ExpectOSVersionBoxIn(const char *code, const TranscriptEvent &box) {
        EXPECT_EQ(box.at("caption"), Message(code, "AFX_IDS_APP_TITLE"));
        EXPECT_EQ(box.at("text"), Message(code, "IDS_ERR_OSVERSION"));
        EXPECT_EQ(box.at("style"), "0x30");
    }

    MachineFolder m_machine;
};

TEST_F(LanguageRun, JapaneseSystemSpeaksJapanese) {
    SetSystem("0x0411", "932");
    StageMessages({"JPN", "ENG"});
    ExpectOSVersionBoxIn("JPN", RunForOneBox({}));
}

TEST_F(LanguageRun, SimplifiedChineseSystemSpeaksChinese) {
    SetSystem("0x0804", "936");
    StageMessages({"SCH", "ENG"});
    ExpectOSVersionBoxIn("SCH", RunForOneBox({}));
}

TEST_F(LanguageRun, WithoutTheSystemLanguagesFileEnglishIsSpoken) {
    SetSystem("0x0411", "932");
    StageMessages({"ENG"});
    ExpectOSVersionBoxIn("ENG", RunForOneBox({}));
}

TEST_F(LanguageRun, WithoutAnyMessageFileTheFirstPathTriedIsNamed) {
    SetSystem("0x0411", "932");
    StageMessages({});
    TranscriptEvent box = RunForOneBox({});
    EXPECT_EQ(box.at("text"), "Resource file not found.\nD:\\RES\\PSDI_JPN.IRC");
    EXPECT_EQ(box.at("caption"), "Install Printer Driver");
    EXPECT_EQ(box.at("style"), "0x30");
    EXPECT_EQ(box.at("owner"), "0x0");
}

TEST_F(LanguageRun, RequestedLanguageWithoutItsFileFallsBackToTheSystemLanguage) {
    SetSystem("0x0411", "932");
    StageMessages({"JPN", "ENG"});
    ExpectOSVersionBoxIn("JPN", RunForOneBox({"+H:0407"}));
}

TEST_F(LanguageRun, RequestedLanguageIsSpokenWhenItsFileExists) {
    SetSystem("0x0409", "1252");
    StageMessages({"ENG", "DEU"});
    ExpectOSVersionBoxIn("DEU", RunForOneBox({"+H:0407"}));
}

TEST_F(LanguageRun, RequestedLanguageByName) {
    SetSystem("0x0411", "932");
    StageMessages({"JPN", "ENG"});
    ExpectOSVersionBoxIn("ENG", RunForOneBox({"+H:english"}));
}

TEST_F(LanguageRun, ThreeDigitLanguageIsACommandLineError) {
    SetSystem("0x0411", "932");
    StageMessages({"JPN", "ENG"});
    TranscriptEvent box = RunForOneBox({"+H:409"});
    EXPECT_EQ(box.at("caption"), Message("JPN", "AFX_IDS_APP_TITLE"));
    EXPECT_EQ(box.at("text"), Message("JPN", "IDS_ERR_CMDLINE") + "\n+H:409");
}

TEST_F(LanguageRun, InvalidLanguageDefinitionStopsBeforeAnythingElse) {
    SetSystem("0x0409", "1252");
    m_machine.SetIni("Windows", "Parent Installer", "0x00020040");
    StageMessages({"ENG"});
    std::ofstream(m_machine.PackagePath() + "/LANGSDEF.INI")
        << "[ENGLISH]\r\nOmittedName=ENGL\r\nLangID=0x0409\r\n";
    fs::create_directories(m_machine.PackagePath() + "/DRVINST");
    std::ofstream(m_machine.PackagePath() + "/DRVINST/LANGSDEF.INI")
        << "[ENGLISH]\r\nOmittedName=ENG\r\nLangID=0x0409\r\n";

    m_machine.RunSetup({"+W:20040", "+M:8001"});
    std::vector<TranscriptEvent> events = m_machine.Transcript();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].at("event"), "messagebox");
    EXPECT_EQ(events[0].at("text"), "Resource file not found.\nLANGSDEF.INI");
    EXPECT_EQ(events[0].at("caption"), "Install Printer Driver");
    EXPECT_EQ(events[0].at("style"), "0x30");
}

// A +W: window that does not exist, or is no number, leaves the box to the
// main window; an existing one owns it.
TEST_F(LanguageRun, BoxesBelongToTheParentWindowOnlyWhenItExists) {
    SetSystem("0x0409", "1252");
    m_machine.SetIni("Windows", "Parent Installer", "0x00020040");
    StageMessages({"ENG"});
    const std::pair<const char *, bool> cases[] = {
        {"+W:20040", true}, {"+W:1234", false}, {"+W:zz", false}};
    std::size_t seen = 0;
    for (const auto &c : cases) {
        m_machine.RunSetup({c.first, "+M:8001"});
        std::vector<TranscriptEvent> boxes = Boxes(m_machine);
        ASSERT_EQ(boxes.size(), seen + 1) << c.first;
        seen = boxes.size();
        const std::string owner = boxes.back().at("owner");
        if (c.second) {
            EXPECT_EQ(owner, "0x20040") << c.first;
        } else {
            EXPECT_NE(owner, "0x0") << c.first << ": the main window exists by now";
            EXPECT_NE(owner, "0x20040") << c.first;
        }
    }
}

TEST(NoticeRun, TheNoticeFileIsShownOnceFromItsFirstText) {
    MachineFolder machine;
    const std::string package = machine.StagePackage(ExamplePackage());
    std::ofstream(package + "/RES/PSDI_ENG1.TXT", std::ios::binary | std::ios::trunc)
        << "\r\n\r\nA\r\n\r\nB\r\n";
    machine.RunSetup({});

    std::vector<TranscriptEvent> notices;
    for (const TranscriptEvent &box : Boxes(machine))
        if (box.at("style") == "0x40") notices.push_back(box);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].at("text"), "A\r\n\r\nB");
    EXPECT_EQ(notices[0].at("caption"), "Install Printer Driver");
}

}  // namespace

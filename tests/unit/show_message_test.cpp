#include <gtest/gtest.h>

#include <optional>

#include "app/mirtel_app.h"
#include "support/machine_fixture.h"
#include "unit/lang_test_files.h"

namespace {

constexpr const char *kMessages =
    "[String]\r\n"
    "AFX_IDS_APP_TITLE=Title\r\n"
    "IDS_ERR_ADDWIZARD1=Wizard open\r\n"
    "IDS_ERR_ADDWIZARD2=Close it\r\n"
    "IDS_ERR_OR_SWITCH=Switches missing\r\n"
    "IDS_EMPTY=\r\n";

// An application in C:\Setup\ whose English messages are loaded, on a
// machine with one window of another program, 0x20040.
class ShowMessageTest : public ::testing::Test {
protected:
    ShowMessageTest() { m_machine.SetIni("Windows", "Parent Installer", "0x00020040"); }

    std::unique_ptr<CMirtelApp> MakeApp(const std::string &messages = kMessages) {
        WriteHostFile(m_machine.HostPath("drive_c/Setup/RES/PSDI_ENG.IRC"), messages);
        m_machine.Use();
        auto app = std::make_unique<CMirtelApp>();
        app->m_strAppDir = "C:\\Setup\\";
        app->m_strLangCode = "ENG";
        EXPECT_TRUE(app->m_resFile.Load("C:\\Setup\\RES\\PSDI_ENG.IRC"));
        return app;
    }
    std::vector<testing_machine::TranscriptEvent> Boxes() const {
        std::vector<testing_machine::TranscriptEvent> boxes;
        for (const auto &event : m_machine.Transcript())
            if (event.at("event") == "messagebox") boxes.push_back(event);
        return boxes;
    }

    testing_machine::MachineFolder m_machine;
};

struct MessageCase {
    const char *key1;
    const char *key2;
    const char *extra1;
    const char *extra2;
    const char *text;  // null: no box
};

TEST_F(ShowMessageTest, JoinsTheTextsThatExistOnLinesOfTheirOwn) {
    const MessageCase cases[] = {
        {"IDS_ERR_ADDWIZARD1", "IDS_ERR_ADDWIZARD2", nullptr, nullptr, "Wizard open\nClose it"},
        {"IDS_ERR_OR_SWITCH", nullptr, "+M:\n+W:", nullptr, "Switches missing\n+M:\n+W:"},
        {"IDS_ERR_ADDWIZARD1", "IDS_MISSING", nullptr, nullptr, "Wizard open"},
        {"IDS_ERR_ADDWIZARD1", "IDS_EMPTY", "", "x", "Wizard open\nx"},
        {"IDS_ERR_ADDWIZARD1", nullptr, "a", "b", "Wizard open\na\nb"},
        // Without a text anywhere (this application has no language table,
        // so no English file either) the key itself is the text: a box is
        // never left out.
        {"IDS_MISSING", "IDS_ERR_ADDWIZARD2", "a", nullptr, "IDS_MISSING\nClose it\na"},
        {"IDS_EMPTY", "IDS_ERR_ADDWIZARD2", nullptr, nullptr, "IDS_EMPTY\nClose it"},
    };
    std::unique_ptr<CMirtelApp> app = MakeApp();
    std::size_t shown = 0;
    for (const MessageCase &c : cases) {
        app->m_bErrorShown = FALSE;
        app->ShowMessage(c.key1, c.key2, c.extra1, c.extra2);
        std::vector<testing_machine::TranscriptEvent> boxes = Boxes();
        if (!c.text) {
            EXPECT_EQ(boxes.size(), shown) << c.key1;
            EXPECT_FALSE(app->m_bErrorShown) << c.key1;
            continue;
        }
        ASSERT_EQ(boxes.size(), ++shown) << c.key1;
        EXPECT_EQ(boxes.back()["text"], c.text);
        EXPECT_EQ(boxes.back()["caption"], "Title");
        EXPECT_EQ(boxes.back()["style"], "0x30");
        EXPECT_EQ(boxes.back()["owner"], "0x0");
        EXPECT_TRUE(app->m_bErrorShown) << c.key1;
    }
}

// A chosen language whose file lacks a key: the package's English text
// stands in, and the box counts as shown.
TEST_F(ShowMessageTest, TextsTheChosenFileLacksComeFromTheEnglishFile) {
    static const LangEntry table[] = {
        {"FRENCH", 0x040c, "FRA"}, {"ENGLISH", 0x0409, "ENG"}, {"", kLangTableEnd, ""}};
    std::unique_ptr<CMirtelApp> app = MakeApp();
    WriteHostFile(m_machine.HostPath("drive_c/Setup/RES/PSDI_FRA.IRC"),
                  "[String]\r\nAFX_IDS_APP_TITLE=Titre\r\nIDS_ERR_ADDWIZARD1=Assistant ouvert\r\n");
    ASSERT_TRUE(app->m_resFile.Load("C:\\Setup\\RES\\PSDI_FRA.IRC"));
    app->m_pLangTable = table;
    app->m_strLangCode = "FRA";

    const MessageCase cases[] = {
        {"IDS_ERR_ADDWIZARD1", "IDS_ERR_ADDWIZARD2", nullptr, nullptr, "Assistant ouvert\nClose it"},
        {"IDS_ERR_OR_SWITCH", nullptr, "+M:\n+W:", nullptr, "Switches missing\n+M:\n+W:"},
        {"IDS_NOWHERE", nullptr, nullptr, nullptr, "IDS_NOWHERE"},
    };
    for (const MessageCase &c : cases) {
        app->m_bErrorShown = FALSE;
        app->ShowMessage(c.key1, c.key2, c.extra1, c.extra2);
        EXPECT_EQ(Boxes().back()["text"], c.text);
        EXPECT_EQ(Boxes().back()["caption"], "Titre");
        EXPECT_TRUE(app->m_bErrorShown) << c.key1;
    }
    EXPECT_EQ(Boxes().size(), 3u);
}

TEST_F(ShowMessageTest, AMissingTitleLeavesTheCaptionEmpty) {
    std::unique_ptr<CMirtelApp> app = MakeApp("[String]\r\nIDS_ERR_OSVERSION=Old system\r\n");
    app->ShowMessage("IDS_ERR_OSVERSION");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]["caption"], "");
    EXPECT_EQ(Boxes()[0]["text"], "Old system");
}

TEST_F(ShowMessageTest, TheParentWindowOwnsTheBoxWhenItExists) {
    const std::pair<const char *, const char *> cases[] = {
        {"", "0x0"},
        {"20040", "0x20040"},
        {"0x20040", "0x20040"},
        {"00020040", "0x20040"},
        {"zz", "0x0"},     // no hexadecimal number: the main window (none yet)
        {"1234", "0x0"},   // no such window
        {"0", "0x0"},
        {"100020040", "0x0"},  // more than 32 bits
        {"-20040", "0x0"},
    };
    std::unique_ptr<CMirtelApp> app = MakeApp();
    for (const auto &c : cases) {
        app->m_strParentWnd = c.first;
        app->ShowMessage("IDS_ERR_ADDWIZARD1");
        EXPECT_EQ(Boxes().back()["owner"], c.second) << c.first;
    }
}

struct NoticeCase {
    const char *name;
    std::string file;
    std::optional<std::string> text;  // none: no box
};

TEST_F(ShowMessageTest, TheNoticeFileIsShownWholeFromItsFirstText) {
    const std::string longLine(600, 'n');
    const NoticeCase cases[] = {
        {"leading empty lines dropped", "\r\n\r\nA\r\n\r\nB\r\n", "A\r\n\r\nB"},
        {"trailing empty lines kept", "A\r\n\r\n", "A\r\n"},
        {"no line end at the end", "A\r\nB", "A\r\nB"},
        {"lines of any length", longLine + "\r\nB\r\n", longLine + "\r\nB"},
        {"only empty lines", "\r\n\r\n\r\n", std::nullopt},
        {"empty file", "", std::nullopt},
    };
    for (const NoticeCase &c : cases) {
        testing_machine::MachineFolder machine;
        WriteHostFile(machine.HostPath("drive_c/Setup/RES/PSDI_ENG1.TXT"), c.file);
        machine.Use();
        CMirtelApp app;
        app.m_strAppDir = "C:\\Setup\\";
        app.m_strLangCode = "ENG";
        EXPECT_TRUE(app.ShowNoticeFile()) << c.name;
        EXPECT_FALSE(app.m_bErrorShown) << c.name;

        std::vector<testing_machine::TranscriptEvent> boxes;
        for (const auto &event : machine.Transcript())
            if (event.at("event") == "messagebox") boxes.push_back(event);
        if (!c.text) {
            EXPECT_TRUE(boxes.empty()) << c.name;
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u) << c.name;
        EXPECT_EQ(boxes[0]["text"], *c.text) << c.name;
        EXPECT_EQ(boxes[0]["style"], "0x40") << c.name;
        EXPECT_EQ(boxes[0]["caption"], "Install Printer Driver") << c.name;
    }
}

}  // namespace

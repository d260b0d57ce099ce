#include <gtest/gtest.h>

#include "app/mirtel_app.h"
#include "lang/select_language.h"
#include "support/machine_fixture.h"
#include "unit/lang_test_files.h"

namespace {

// A try written as the row's name and what it does to the failed path:
// "=" replaces it, "~" keeps it, "?" sets it while it is empty.
std::vector<std::string> Describe(const std::vector<LanguageTry> &tries) {
    std::vector<std::string> out;
    for (const LanguageTry &attempt : tries) {
        const char *rule = attempt.failedPath == FailedPathRule::kReplace ? "=" :
                           attempt.failedPath == FailedPathRule::kKeep    ? "~" :
                                                                            "?";
        out.push_back(std::string(attempt.row->Name) + rule);
    }
    return out;
}

struct TriesCase {
    const char *requested;
    LANGID system;
    std::vector<std::string> expected;
};

TEST(LanguageTries, FollowTheRequestedThenTheSystemLanguageThenEnglish) {
    const TriesCase cases[] = {
        {nullptr, 0x0411, {"JAPANESE?", "JAPANESE?", "ENGLISH?"}},
        {nullptr, 0x0807, {"DEUTSCH?", "ENGLISH?"}},
        {nullptr, 0x0C04, {"SIMPCHIN?", "ENGLISH?"}},
        {nullptr, 0x0416, {"PORTUGUS?", "ENGLISH?"}},
        {nullptr, 0x0809, {"ENGLISH?", "ENGLISH?"}},
        {nullptr, 0x041F, {"ENGLISH?"}},
        {nullptr, 0x0409, {"ENGLISH?", "ENGLISH?", "ENGLISH?"}},
        {"0407", 0x0411, {"DEUTSCH=", "DEUTSCH~", "JAPANESE?", "JAPANESE?", "ENGLISH?"}},
        {"0409", 0x0411, {"ENGLISH=", "ENGLISH~", "JAPANESE?", "JAPANESE?", "ENGLISH?"}},
        {"0c0a", 0x0409, {"ESPANOL~", "ENGLISH?", "ENGLISH?", "ENGLISH?"}},
        {"0C0A", 0x0409, {"ESPANOL~", "ENGLISH?", "ENGLISH?", "ENGLISH?"}},
        {"0416", 0x041F, {"PORTUGUS~", "ENGLISH?"}},
        {"0804", 0x041F, {"SIMPCHIN=", "SIMPCHIN~", "ENGLISH?"}},
        {"0404", 0x041F, {"TRADCHIN=", "SIMPCHIN~", "ENGLISH?"}},
        {"04111", 0x041F, {"JAPANESE=", "JAPANESE~", "ENGLISH?"}},  // four digits read
        {"041F", 0x041F, {"ENGLISH?"}},
        {"xyz", 0x041F, {"ENGLISH?"}},
        {"", 0x041F, {"ENGLISH?"}},
    };
    for (const TriesCase &c : cases)
        EXPECT_EQ(Describe(LanguageTries(CLangsDef::BuiltInTable(), c.requested, c.system)),
                  c.expected)
            << (c.requested ? c.requested : "(none)") << " on " << std::hex << c.system;
}

TEST(LanguageTries, TheFirstRowWinsAndTablesWithoutEnglishEndEarly) {
    const LangEntry japaneseFirst[] = {
        {"JAPANESE", 0x0411, "JPN"}, {"NIHONGO", 0x0411, "NIH"}, {"ENGLISH", 0x0409, "ENG"},
        {"", kLangTableEnd, ""}};
    EXPECT_EQ(Describe(LanguageTries(japaneseFirst, nullptr, 0x0411)),
              (std::vector<std::string>{"JAPANESE?", "JAPANESE?", "ENGLISH?"}));

    const LangEntry noEnglish[] = {{"JAPANESE", 0x0411, "JPN"}, {"", kLangTableEnd, ""}};
    EXPECT_TRUE(LanguageTries(noEnglish, nullptr, 0x0407).empty());

    // An identifier of 0xFFFF ends the table for every search.
    const LangEntry endsEarly[] = {
        {"X", kLangTableEnd, "XXX"}, {"ENGLISH", 0x0409, "ENG"}, {"", kLangTableEnd, ""}};
    EXPECT_TRUE(LanguageTries(endsEarly, "ffff", 0x0409).empty());

    const LangEntry empty[] = {{"", kLangTableEnd, ""}};
    EXPECT_TRUE(LanguageTries(empty, "0409", 0x0409).empty());
}

// Selection against real files, on a Japanese system.
class JapaneseSystem {
public:
    JapaneseSystem() { m_machine.SetIni("System", "DefaultLangID", "0x0411"); }

    void WriteMessages(const char *code) {
        WriteHostFile(m_machine.HostPath(std::string("drive_c/Setup/RES/PSDI_") + code + ".IRC"),
                      std::string("[String]\r\nAFX_IDS_APP_TITLE=") + code + "\r\n");
    }
    // An application in C:\Setup\ with the given language table.
    std::unique_ptr<CMirtelApp> MakeApp(const LangEntry *table) {
        m_machine.Use();
        auto app = std::make_unique<CMirtelApp>();
        app->m_pLangTable = table;
        app->m_strAppDir = "C:\\Setup\\";
        return app;
    }

private:
    testing_machine::MachineFolder m_machine;
};

CString LoadedTitle(const CMirtelApp &app) {
    CString title;
    app.m_resFile.GetString("AFX_IDS_APP_TITLE", title);
    return title;
}

struct SelectCase {
    std::vector<const char *> files;
    const char *requested;
    const char *failedBefore;
    BOOL result;
    const char *chosen;
    const char *failedAfter;
};

TEST(SelectLanguage, LoadsTheFirstFileThatExistsAndNamesTheFailedPath) {
    const char *jpn = "C:\\Setup\\RES\\PSDI_JPN.IRC";
    const char *deu = "C:\\Setup\\RES\\PSDI_DEU.IRC";
    const SelectCase cases[] = {
        {{"JPN", "ENG"}, nullptr, "", TRUE, "JAPANESE", jpn},
        {{"ENG"}, nullptr, "", TRUE, "ENGLISH", jpn},
        {{}, nullptr, "", FALSE, "ENGLISH", jpn},
        {{"JPN", "ENG"}, "0409", jpn, TRUE, "ENGLISH", "C:\\Setup\\RES\\PSDI_ENG.IRC"},
        {{"JPN", "ENG"}, "0407", jpn, TRUE, "JAPANESE", deu},
        {{"ENG"}, "0407", jpn, TRUE, "ENGLISH", deu},
        {{}, "0407", jpn, FALSE, "ENGLISH", deu},
        {{"JPN", "DEU"}, "0807", jpn, TRUE, "DEUTSCH", jpn},
        {{"ENG"}, "0416", jpn, TRUE, "ENGLISH", jpn},
        {{"POR"}, "0416", jpn, TRUE, "PORTUGUS", jpn},
    };
    int index = 0;
    for (const SelectCase &c : cases) {
        JapaneseSystem system;
        for (const char *code : c.files) system.WriteMessages(code);
        std::unique_ptr<CMirtelApp> app = system.MakeApp(CLangsDef::BuiltInTable());

        const LangEntry *chosen = nullptr;
        CString failedPath = c.failedBefore;
        EXPECT_EQ(app->SelectLanguage(c.requested, chosen, failedPath), c.result) << index;
        ASSERT_NE(chosen, nullptr) << index;
        EXPECT_STREQ(chosen->Name, c.chosen) << index;
        EXPECT_EQ(failedPath, c.failedAfter) << index;
        EXPECT_EQ(app->m_strResFilePath,
                  CString("C:\\Setup\\RES\\PSDI_") + chosen->OmittedName + ".IRC")
            << index;
        EXPECT_EQ(LoadedTitle(*app), c.result ? chosen->OmittedName : "") << index;
        ++index;
    }
}

TEST(SelectLanguage, AnEmptyTableFailsWithoutAPath) {
    JapaneseSystem system;
    system.WriteMessages("ENG");
    const LangEntry empty[] = {{"", kLangTableEnd, ""}};
    std::unique_ptr<CMirtelApp> app = system.MakeApp(empty);
    const LangEntry *chosen = nullptr;
    CString failedPath;
    EXPECT_FALSE(app->SelectLanguage(nullptr, chosen, failedPath));
    EXPECT_EQ(chosen, nullptr);
    EXPECT_EQ(failedPath, "");
}

}  // namespace

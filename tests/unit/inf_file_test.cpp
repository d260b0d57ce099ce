// CInfFile over the simulated machine's setup API: which files it opens,
// and the provider, models section and model names it reads.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "inf/inf_file.h"
#include "support/inf_test_files.h"
#include "support/machine_fixture.h"
#include "support/path_variable.h"

namespace {

using inf_testing::PathVariableGuard;

// The model names as the reader hands them on.
BOOL ModelNames(CInfFile &inf, CStringList &models) {
    return inf.ForEachModelName([&models](CString &&model) { models.push_back(model); });
}

class CInfFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_machine.Use();
        setenv("PATH", "C:\\A", 1);
        BOOL ok = FALSE;
        m_setupApi = std::make_unique<CSetupApi>(ok, "C:\\WINDOWS");
        ASSERT_TRUE(ok);
    }

    // Writes `bytes` as C:\pkg\<name> and returns that path.
    std::string Put(const std::string &name, const std::string &bytes) {
        inf_testing::WriteFile(m_machine.HostPath("drive_c/pkg/" + name), bytes);
        return "C:\\pkg\\" + name;
    }

    testing_machine::MachineFolder m_machine;
    PathVariableGuard m_path;
    std::unique_ptr<CSetupApi> m_setupApi;
};

const char kVersionNT[] = "[Version]\nSignature=\"$Windows NT$\"\nClass=Printer\n";

TEST_F(CInfFileTest, ReadsProviderModelsSectionAndModelNames) {
    struct Case {
        const char *name;
        std::string inf;
        BOOL providerRead;
        std::string provider;
        BOOL sectionRead;
        std::string section;
        BOOL modelsRead;
        std::vector<std::string> models;
    };
    const std::string nt = kVersionNT;
    const Case cases[] = {
        {"provider token names the [Manufacturer] line",
         nt + "Provider=%Mfg%\n[Manufacturer]\n%Mfg%=TalvoModels\n"
              "[TalvoModels]\n\"Talvo A\"=A.PPD\n\"Talvo B\"=B.PPD\n[Strings]\nMfg=\"Talvo Corp\"\n",
         TRUE, "Talvo Corp", TRUE, "TalvoModels", TRUE, {"Talvo A", "Talvo B"}},
        {"no [Manufacturer] line for the provider: the first line's key",
         nt + "Provider=Other\n[Manufacturer]\nX = Y\n[X]\nM1=a\n[Y]\nM2=b\n",
         TRUE, "Other", TRUE, "X", TRUE, {"M1"}},
        {"no provider at all: the first line's key",
         nt + "[Manufacturer]\nX = Y\n[X]\nM1=a\n",
         TRUE, "", TRUE, "X", TRUE, {"M1"}},
        {"an empty key ends the models",
         nt + "Provider=P\n[Manufacturer]\nP=X\n[X]\nM1=a\nM2=b\n=c\nM4=d\n",
         TRUE, "P", TRUE, "X", TRUE, {"M1", "M2"}},
        {"a model on two lines is listed twice",
         nt + "Provider=P\n[Manufacturer]\nP=X\n[X]\nM1=a,ID1\nM1=a,ID2\n",
         TRUE, "P", TRUE, "X", TRUE, {"M1", "M1"}},
        {"model names with tokens",
         nt + "Provider=P\n[Manufacturer]\nP=X\n[X]\n%A%=a\n[Strings]\nA=\"Talvo PS\"\n",
         TRUE, "P", TRUE, "X", TRUE, {"Talvo PS"}},
        {"the models section does not exist",
         nt + "Provider=P\n[Manufacturer]\nP=Missing\n[X]\nM1=a\n",
         TRUE, "P", TRUE, "Missing", FALSE, {}},
        {"the whole line text names the section",
         nt + "Provider=P\n[Manufacturer]\nP=X,NTx86\n[X]\nM1=a\n[X.NTx86]\nM2=b\n",
         TRUE, "P", TRUE, "X,NTx86", FALSE, {}},
        {"no [Manufacturer] lines",
         nt + "Provider=P\n[Manufacturer]\n[X]\nM1=a\n",
         TRUE, "P", FALSE, "", FALSE, {}},
        {"not a Windows 95-style INF",
         "[Version]\nSignature=\"$Windows 2000$\"\nProvider=P\n[Manufacturer]\nP=X\n[X]\nM1=a\n",
         FALSE, "", FALSE, "", FALSE, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Put("case.inf", c.inf);
        CInfFile inf(*m_setupApi, path.c_str());
        CString provider = "(unread)", section = "(unread)";
        EXPECT_EQ(inf.GetProvider(provider), c.providerRead);
        if (c.providerRead) {
            EXPECT_EQ(provider, c.provider);
        }
        EXPECT_EQ(inf.GetModelSection(section), c.sectionRead);
        if (c.sectionRead) {
            EXPECT_EQ(section, c.section);
        }
        CStringList models;
        EXPECT_EQ(ModelNames(inf, models), c.modelsRead);
        const CStringList expected = c.modelsRead ? c.models : CStringList{};
        EXPECT_EQ(models, expected);
    }
}

TEST_F(CInfFileTest, ReadsAUtf16FileLikeItsAnsiForm) {
    const std::string text = inf_testing::PrinterInf("$Windows NT$", {"Talvo A", "Talvo B"});
    const std::string path = Put("unicode.inf", inf_testing::Utf16leWithBom(text));
    CInfFile inf(*m_setupApi, path.c_str());
    CStringList models;
    EXPECT_TRUE(ModelNames(inf, models));
    EXPECT_EQ(models, (CStringList{"Talvo A", "Talvo B"}));
}

TEST_F(CInfFileTest, OpensOnlyFullPaths) {
    Put("good.inf", inf_testing::PrinterInf("$Windows NT$", {"Talvo A"}));
    struct Case {
        const char *path;
        BOOL opened;
    };
    const Case cases[] = {
        {"C:\\pkg\\good.inf", TRUE},
        {"good.inf", FALSE},
        {"\\pkg\\good.inf", FALSE},
        {"C:good.inf", FALSE},
        {"C:\\pkg\\missing.inf", FALSE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        CInfFile inf(*m_setupApi);
        EXPECT_EQ(inf.Open(c.path), c.opened);
        CString provider;
        EXPECT_EQ(inf.GetProvider(provider), c.opened);
    }
}

TEST(CInfFileWithoutLibraryTest, EveryReadFails) {
    testing_machine::MachineFolder machine;
    machine.SetIni("SetupApi", "Present", "0");
    machine.Use();
    PathVariableGuard path;
    setenv("PATH", "C:\\A", 1);
    inf_testing::WriteFile(machine.HostPath("drive_c/pkg/a.inf"),
                           inf_testing::PrinterInf("$Windows NT$", {"Talvo A"}));
    BOOL ok = TRUE;
    CSetupApi setupApi(ok, "C:\\WINDOWS");
    ASSERT_FALSE(ok);

    CInfFile inf(setupApi);
    EXPECT_FALSE(inf.Open("C:\\pkg\\a.inf"));
    CString text;
    CStringList models;
    EXPECT_FALSE(inf.GetProvider(text));
    EXPECT_FALSE(inf.GetModelSection(text));
    EXPECT_FALSE(ModelNames(inf, models));
}

}  // namespace

// kCheckInfFile: which INF files of a driver folder are accepted for the
// running family of Windows, and which message a refusal shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/mirtel_app.h"
#include "support/inf_test_files.h"
#include "support/machine_fixture.h"

namespace {

const std::string kNT = inf_testing::PrinterInf("$Windows NT$", {"Talvo A"});
const std::string kChicago = inf_testing::PrinterInf("$CHICAGO$", {"Talvo A"});
const std::string kLowerCase = "[Version]\nSignature=$chicago$\nClass=printer\n";
const std::string kWindows95 = "[Version]\nSignature=\"$Windows 95$\"\nClass=Printer\n";
const std::string kNoClass = "[Version]\nSignature=\"$Windows NT$\"\nProvider=P\n";
const std::string kNoKeyClass = "[Version]\nSignature=\"$Windows NT$\"\nClass=NOKEY\n";
const std::string kImageNoSignature = "[Version]\nClass=Image\n";
const std::string kPrinterNoSignature = "[Version]\nClass=Printer\n";
// Content that makes a folder instead of a file.
const std::string kFolder = "<folder>";

struct Case {
    const char *name;
    WORD osCode;
    std::vector<std::pair<std::string, std::string>> files;  // under C:\pkg
    BOOL result;
    std::vector<std::string> accepted;  // under C:\pkg, in order
    std::string message;                // box text; "" for none
};

const Case kCases[] = {
    {"NT printer INF on code 8", kOSWinNT5, {{"A.inf", kNT}}, TRUE, {"A.inf"}, ""},
    {"NT printer INF on code 4", kOSWinNT4, {{"A.inf", kNT}}, TRUE, {"A.inf"}, ""},
    {"NT printer INF on code 1", kOSWin95, {{"A.inf", kNT}}, FALSE, {}, "IDS_ERR_SOURCEPATHNG"},
    {"$CHICAGO$ on code 1", kOSWin95, {{"A.inf", kChicago}}, TRUE, {"A.inf"}, ""},
    {"$chicago$ and printer in lower case on code 2", kOSWin98, {{"A.inf", kLowerCase}}, TRUE,
     {"A.inf"}, ""},
    {"$Windows 95$ on code 2", kOSWin98, {{"A.inf", kWindows95}}, TRUE, {"A.inf"}, ""},
    {"$Windows 95$ on code 4", kOSWinNT4, {{"A.inf", kWindows95}}, FALSE, {},
     "IDS_ERR_SOURCEPATHNG"},
    {"no INF file at all", kOSWinNT5, {{"readme.txt", "x"}}, FALSE, {}, "IDS_ERR_SOURCEPATHNG"},
    {"an INF without Class before an accepted one", kOSWinNT5,
     {{"A.inf", kNoClass}, {"B.inf", kNT}}, FALSE, {}, "IDS_ERR_READINF\nC:\\pkg\\A.inf"},
    {"an INF without Class after an accepted one", kOSWinNT5,
     {{"A.inf", kNT}, {"B.inf", kNoClass}}, FALSE, {"A.inf"}, "IDS_ERR_READINF\nC:\\pkg\\B.inf"},
    {"Class NOKEY", kOSWinNT5, {{"A.inf", kNoKeyClass}}, FALSE, {},
     "IDS_ERR_READINF\nC:\\pkg\\A.inf"},
    {"an Image INF without Signature is skipped", kOSWinNT5,
     {{"A.inf", kImageNoSignature}, {"B.inf", kNT}}, TRUE, {"B.inf"}, ""},
    {"a printer INF without Signature", kOSWinNT5, {{"A.inf", kPrinterNoSignature}}, FALSE, {},
     "IDS_ERR_READINF\nC:\\pkg\\A.inf"},
    {"two accepted files in one folder", kOSWinNT5, {{"B.inf", kNT}, {"A.inf", kNT}}, TRUE,
     {"A.inf", "B.inf"}, ""},
    {"an accepted file in a subfolder ends the examination", kOSWinNT5,
     {{"A.inf", kNT}, {"B.inf", kNT}, {"Sub\\C.inf", kNT}, {"Sub\\D.inf", kNoClass}}, TRUE,
     {"A.inf", "B.inf"}, ""},
    {"the first accepted file is in a subfolder", kOSWinNT5,
     {{"A.inf", kImageNoSignature}, {"Sub\\B.inf", kNT}}, TRUE, {"Sub\\B.inf"}, ""},
    {"a folder named like an INF file is no INF file", kOSWinNT5,
     {{"Extra.inf", kFolder}, {"Extra.inf\\A.inf", kNT}}, TRUE, {"Extra.inf\\A.inf"}, ""},
};

std::string HostRelative(std::string windowsRelative) {
    for (char &c : windowsRelative)
        if (c == '\\') c = '/';
    return windowsRelative;
}

TEST(CheckInfFileTest, AcceptsThePrinterInfFilesOfTheRunningFamily) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        testing_machine::MachineFolder machine;
        inf_testing::WriteFile(machine.HostPath("drive_c/res/PSDI_ENG.IRC"),
                               "[String]\nIDS_ERR_READINF=IDS_ERR_READINF\n"
                               "IDS_ERR_SOURCEPATHNG=IDS_ERR_SOURCEPATHNG\n");
        for (const auto &file : c.files) {
            const std::string host = machine.HostPath("drive_c/pkg/" + HostRelative(file.first));
            if (file.second == kFolder)
                std::filesystem::create_directories(host);
            else
                inf_testing::WriteFile(host, file.second);
        }
        machine.Use();

        CMirtelApp app;
        ASSERT_TRUE(app.m_resFile.Load("C:\\res\\PSDI_ENG.IRC"));
        app.m_nOSCode = c.osCode;
        app.m_strDriverDir = "C:\\pkg";
        app.m_strInfPath = "(before)";

        EXPECT_EQ(app.kCheckInfFile(), c.result);
        CStringList accepted;
        for (const std::string &name : c.accepted) accepted.push_back("C:\\pkg\\" + name);
        EXPECT_EQ(app.m_listInfFile, accepted);
        EXPECT_EQ(app.m_strInfPath, accepted.empty() ? "(before)" : accepted.back());

        std::vector<std::string> boxes;
        for (const auto &event : machine.Transcript())
            if (event.at("event") == "messagebox") boxes.push_back(event.at("text"));
        EXPECT_EQ(boxes, c.message.empty() ? std::vector<std::string>{}
                                           : std::vector<std::string>{c.message});
        EXPECT_EQ(app.m_bErrorShown, c.message.empty() ? FALSE : TRUE);
    }
}

}  // namespace

// The Win32 conventions of the INF engine: required sizes and buffers too
// small, handles that are not open, the INF style report, how names are
// found, appended files, and key searches in large sections.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "inf_test_engine.h"
#include "platform/sim/machine/setupapi_module.h"

namespace {

using inf_test::kVersion;
using inf_test::TestEngine;
using Lines = std::vector<std::vector<std::string>>;

class InfEngine : public testing::Test {
protected:
    void SetUp() override {
        m_inf = m_engine.Open(std::string(kVersion) + "[S]\nkey=value,second\n");
        ASSERT_NE(m_inf, win::INVALID_HANDLE_VALUE);
        ASSERT_TRUE(Api().FindFirstLine(m_inf, "S", "key", &m_line));
    }
    sim::setupapi::SetupApiEngine &Api() { return m_engine.Api(); }

    TestEngine m_engine;
    win::HINF m_inf = nullptr;
    win::INFCONTEXT m_line = {};
};

TEST_F(InfEngine, StringFieldReportsItsSizeAndRefusesSmallBuffers) {
    win::DWORD required = 0;
    EXPECT_TRUE(Api().GetStringField(&m_line, 1, nullptr, 0, &required));
    EXPECT_EQ(required, 6u);
    char buffer[16];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_FALSE(Api().GetStringField(&m_line, 1, buffer, 5, &required));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(buffer[0], 'X');
    EXPECT_TRUE(Api().GetStringField(&m_line, 1, buffer, 6, &required));
    EXPECT_STREQ(buffer, "value");
}

TEST_F(InfEngine, FieldPastTheLastFailsWithoutErrorCode) {
    win::SetLastError(win::ERROR_ACCESS_DENIED);
    EXPECT_FALSE(Api().GetStringField(&m_line, 3, nullptr, 0, nullptr));
    EXPECT_EQ(win::GetLastError(), 0u);
}

TEST_F(InfEngine, LineTextJoinsValuesAndRefusesSmallBuffers) {
    win::DWORD required = 0;
    char buffer[32];
    EXPECT_FALSE(Api().GetLineText(nullptr, m_inf, "S", "key", buffer, 12, &required));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(required, 13u);
    EXPECT_TRUE(Api().GetLineText(&m_line, nullptr, nullptr, nullptr, buffer, 13, &required));
    EXPECT_STREQ(buffer, "value,second");
}

TEST_F(InfEngine, SectionEnumerationConventions) {
    win::DWORD required = 0;
    char buffer[8];
    EXPECT_TRUE(Api().EnumInfSections(m_inf, 1, nullptr, 0, &required));
    EXPECT_EQ(required, 2u);
    EXPECT_FALSE(Api().EnumInfSections(m_inf, 1, nullptr, 8, &required));
    EXPECT_EQ(win::GetLastError(), sim::setupapi::ERROR_INVALID_USER_BUFFER);
    EXPECT_FALSE(Api().EnumInfSections(m_inf, 0, buffer, 7, &required));  // "Version" needs 8
    EXPECT_EQ(win::GetLastError(), win::ERROR_INSUFFICIENT_BUFFER);
    EXPECT_TRUE(Api().EnumInfSections(m_inf, 0, buffer, 8, &required));
    EXPECT_STREQ(buffer, "Version");
    EXPECT_FALSE(Api().EnumInfSections(m_inf, 2, buffer, 8, &required));
    EXPECT_EQ(win::GetLastError(), win::ERROR_NO_MORE_ITEMS);
}

TEST_F(InfEngine, HandlesThatAreNotOpenAreRefused) {
    Api().CloseInfFile(m_inf);
    const win::HINF invalid = win::INVALID_HANDLE_VALUE;
    for (win::HINF inf : {m_inf, invalid, reinterpret_cast<win::HINF>(0x1234)}) {
        win::INFCONTEXT context;
        EXPECT_FALSE(Api().FindFirstLine(inf, "S", nullptr, &context));
        EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
        EXPECT_EQ(Api().GetLineCount(inf, "S"), -1);
        EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
        EXPECT_FALSE(Api().OpenAppendInfFile(nullptr, inf, nullptr));
        EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
    }
    // A context of the closed handle leads nowhere.
    EXPECT_FALSE(Api().GetStringField(&m_line, 1, nullptr, 0, nullptr));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
    EXPECT_EQ(Api().GetFieldCount(&m_line), 0u);
    EXPECT_FALSE(Api().FindNextLine(&m_line, &m_line));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
}

// SP_INF_INFORMATION for `inf` (a name or a handle); the style, the count and the paths in
// VersionData, or the error.
struct InfInformation {
    bool ok = false;
    win::DWORD error = 0;
    win::DWORD style = 0;
    win::DWORD count = 0;
    std::vector<std::string> paths;
};

InfInformation Information(sim::setupapi::SetupApiEngine &api, const void *inf, win::DWORD control) {
    InfInformation info;
    win::DWORD required = 0;
    if (!api.GetInfInformation(inf, control, nullptr, 0, &required)) {
        info.error = win::GetLastError();
        return info;
    }
    std::vector<win::BYTE> buffer(required);
    auto *record = reinterpret_cast<win::SP_INF_INFORMATION *>(buffer.data());
    EXPECT_FALSE(api.GetInfInformation(inf, control, record, required - 1, &required));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INSUFFICIENT_BUFFER);
    info.ok = api.GetInfInformation(inf, control, record, required, &required) != win::FALSE;
    info.style = record->InfStyle;
    info.count = record->InfCount;
    const char *path = reinterpret_cast<const char *>(record->VersionData);
    for (win::DWORD i = 0; i < info.count; ++i, path += std::strlen(path) + 1) info.paths.push_back(path);
    return info;
}

TEST(InfInformationTest, StyleOfFilesAndHandles) {
    TestEngine engine;
    engine.Files().Add("C:\\work\\win4.inf", std::string(kVersion) + "LayoutFile=.\\child.inf\n");
    engine.Files().Add("C:\\work\\child.inf", kVersion);
    engine.Files().Add("C:\\work\\old.inf", "[Version]\nClass=Printer\n");
    engine.Files().Add("C:\\work\\broken.inf", "text before any section\n");

    const InfInformation win4 = Information(engine.Api(), "C:\\work\\win4.inf", win::INFINFO_INF_NAME_IS_ABSOLUTE);
    EXPECT_TRUE(win4.ok);
    EXPECT_EQ(win4.style, win::INF_STYLE_WIN4);
    EXPECT_EQ(win4.paths, std::vector<std::string>{"C:\\work\\win4.inf"});
    for (const char *oldStyle : {"C:\\work\\old.inf", "C:\\work\\broken.inf"}) {
        const InfInformation old = Information(engine.Api(), oldStyle, win::INFINFO_INF_NAME_IS_ABSOLUTE);
        EXPECT_TRUE(old.ok) << oldStyle;
        EXPECT_EQ(old.style, win::INF_STYLE_OLDNT) << oldStyle;
    }
    EXPECT_EQ(Information(engine.Api(), "C:\\work\\none.inf", win::INFINFO_INF_NAME_IS_ABSOLUTE).error,
              win::ERROR_FILE_NOT_FOUND);

    const win::HINF inf = engine.Api().OpenInfFile("C:\\work\\win4.inf", nullptr, win::INF_STYLE_WIN4, nullptr);
    ASSERT_TRUE(engine.Api().OpenAppendInfFile(nullptr, inf, nullptr));
    const InfInformation opened = Information(engine.Api(), inf, win::INFINFO_INF_SPEC_IS_HINF);
    EXPECT_EQ(opened.count, 2u);
    EXPECT_EQ(opened.paths, (std::vector<std::string>{"C:\\work\\win4.inf", "C:\\work\\child.inf"}));

    EXPECT_EQ(Information(engine.Api(), nullptr, win::INFINFO_INF_SPEC_IS_HINF).error, win::ERROR_INVALID_HANDLE);
    EXPECT_EQ(Information(engine.Api(), nullptr, win::INFINFO_DEFAULT_SEARCH).error, win::ERROR_INVALID_PARAMETER);
}

struct NameCase {
    const char *name;
    const char *fileName;
    win::DWORD searchControl;
    std::string foundPath;  // empty: not found
};

class InfNames : public testing::TestWithParam<NameCase> {};

TEST_P(InfNames, AreFound) {
    TestEngine engine;
    engine.Files().Add("C:\\windows\\inf\\both.inf", kVersion);
    engine.Files().Add("C:\\windows\\system32\\both.inf", kVersion);
    engine.Files().Add("C:\\windows\\system32\\system.inf", kVersion);
    engine.Files().Add("C:\\work\\here.inf", kVersion);
    const InfInformation info = Information(engine.Api(), GetParam().fileName, GetParam().searchControl);
    if (GetParam().foundPath.empty()) {
        EXPECT_EQ(info.error, win::ERROR_FILE_NOT_FOUND);
    } else {
        EXPECT_EQ(info.paths, std::vector<std::string>{GetParam().foundPath});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Searches, InfNames,
    testing::Values(NameCase{"bare_name_inf_folder_first", "both.inf", win::INFINFO_DEFAULT_SEARCH,
                             "C:\\windows\\inf\\both.inf"},
                    NameCase{"bare_name_reverse", "both.inf", sim::setupapi::INFINFO_REVERSE_DEFAULT_SEARCH,
                             "C:\\windows\\system32\\both.inf"},
                    NameCase{"bare_name_system_folder", "system.inf", win::INFINFO_DEFAULT_SEARCH,
                             "C:\\windows\\system32\\system.inf"},
                    NameCase{"bare_name_not_in_current_folder", "here.inf", win::INFINFO_DEFAULT_SEARCH, ""},
                    NameCase{"relative_path", ".\\here.inf", win::INFINFO_DEFAULT_SEARCH, "C:\\work\\here.inf"},
                    NameCase{"absolute_name_is_a_path", "here.inf", win::INFINFO_INF_NAME_IS_ABSOLUTE,
                             "C:\\work\\here.inf"}),
    [](const testing::TestParamInfo<NameCase> &info) { return std::string(info.param.name); });

struct OpenCase {
    const char *name;
    std::string text;
    const char *infClass;
    win::DWORD style;
    win::DWORD error;  // 0: opens
};

class InfOpen : public testing::TestWithParam<OpenCase> {};

TEST_P(InfOpen, ChecksStyleAndClass) {
    TestEngine engine;
    engine.Files().Add("C:\\work\\x.inf", GetParam().text);
    const win::HINF inf = engine.Api().OpenInfFile("C:\\work\\x.inf", GetParam().infClass, GetParam().style, nullptr);
    EXPECT_EQ(inf == win::INVALID_HANDLE_VALUE ? win::GetLastError() : 0u, GetParam().error);
}

const std::string kPrinterInf = std::string(kVersion) + "Class=%cls%\n[Strings]\ncls=Printer\n";

INSTANTIATE_TEST_SUITE_P(
    Styles, InfOpen,
    testing::Values(OpenCase{"class_matches_after_substitution", kPrinterInf, "printer", win::INF_STYLE_WIN4, 0},
                    OpenCase{"class_differs", kPrinterInf, "Image", win::INF_STYLE_WIN4,
                             sim::setupapi::ERROR_CLASS_MISMATCH},
                    OpenCase{"old_style_opens_without_signature", "[S]\na=1\n", nullptr, win::INF_STYLE_OLDNT, 0},
                    OpenCase{"unknown_style_flag", kPrinterInf, nullptr, 0x10, win::ERROR_INVALID_PARAMETER}),
    [](const testing::TestParamInfo<OpenCase> &info) { return std::string(info.param.name); });

TEST(InfAppend, LayoutFilesJoinTheHandle) {
    TestEngine engine;
    engine.Files().Add("C:\\work\\one.inf",
                       std::string(kVersion) + "[M]\n%child%=1\n[OnlyOne]\nx=1\n[Strings]\nchild=Child One\n");
    engine.Files().Add("C:\\work\\two.inf", std::string(kVersion) + "[M]\nb=2\n");
    const win::HINF inf = engine.Open(
        std::string(kVersion) + "LayoutFile=.\\one.inf,%two%,.\\three.inf\n[M]\na=0\n[Strings]\ntwo=.\\two.inf\n",
        "parent.inf");
    win::UINT errorLine = 0;
    EXPECT_FALSE(engine.Api().OpenAppendInfFile(nullptr, inf, &errorLine));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);

    // The files appended before the missing one stay: lines run on into
    // them, each file substituting from its own strings.
    EXPECT_EQ(engine.Lines(inf, "M"), (Lines{{"a", "0"}, {"Child One", "1"}, {"b", "2"}}));
    EXPECT_EQ(engine.Api().GetLineCount(inf, "M"), 3);
    EXPECT_EQ(engine.Api().GetLineCount(inf, "Version"), 4);
    win::INFCONTEXT context;
    ASSERT_TRUE(engine.Api().GetLineByIndex(inf, "M", 2, &context));
    EXPECT_EQ(engine.Field(context, 0), "b");
    ASSERT_TRUE(engine.Api().FindFirstLine(inf, "M", "child one", &context));
    EXPECT_NE(context.CurrentInf, context.Inf);

    std::vector<std::string> sections;
    char name[64];
    for (win::UINT i = 0; engine.Api().EnumInfSections(inf, i, name, sizeof name, nullptr); ++i)
        sections.push_back(name);
    EXPECT_EQ(sections, (std::vector<std::string>{"Version", "M", "Strings", "Version", "M", "OnlyOne", "Strings",
                                                  "Version", "M"}));
}

TEST(InfAppend, BareLayoutNameIsLookedForInTheInfFolder) {
    TestEngine engine;
    engine.Files().Add("C:\\windows\\inf\\layout.inf", std::string(kVersion) + "[M]\nsystem=1\n");
    engine.Files().Add("C:\\work\\layout.inf", std::string(kVersion) + "[M]\nlocal=1\n");
    const win::HINF inf = engine.Open(std::string(kVersion) + "LayoutFile=layout.inf\n");
    ASSERT_TRUE(engine.Api().OpenAppendInfFile(nullptr, inf, nullptr));
    EXPECT_EQ(engine.Lines(inf, "M"), (Lines{{"system", "1"}}));
}

TEST(InfAppend, WithoutLayoutFileFailsAsLineNotFound) {
    TestEngine engine;
    const win::HINF inf = engine.Open(kVersion);
    EXPECT_FALSE(engine.Api().OpenAppendInfFile(nullptr, inf, nullptr));
    EXPECT_EQ(win::GetLastError(), win::ERROR_LINE_NOT_FOUND);
}

// An installer asks for an INF's information (size, then data) and opens
// it: the file is read once for the three calls, yet a file written since
// is read again, and a closed file is not kept.
TEST(InfReads, InformationThenOpenReadsOnceUnlessTheFileChanged) {
    TestEngine engine;
    const char *path = "C:\\work\\big.inf";
    auto version = [&](const char *value) {
        engine.Files().Add(path, std::string(kVersion) + "[S]\nkey=" + value + "\n");
    };
    auto openedValue = [&](win::HINF *inf) {
        *inf = engine.Api().OpenInfFile(path, nullptr, win::INF_STYLE_WIN4, nullptr);
        win::INFCONTEXT context;
        return engine.Api().FindFirstLine(*inf, "S", "key", &context) ? engine.Field(context, 1) : "<none>";
    };
    version("first");
    EXPECT_TRUE(Information(engine.Api(), path, win::INFINFO_INF_NAME_IS_ABSOLUTE).ok);
    win::HINF first = nullptr;
    EXPECT_EQ(openedValue(&first), "first");
    EXPECT_EQ(engine.Files().Reads(), 1);

    version("second");
    win::HINF second = nullptr;
    EXPECT_EQ(openedValue(&second), "second");
    EXPECT_EQ(engine.Files().Reads(), 2);

    engine.Api().CloseInfFile(second);
    win::HINF third = nullptr;
    EXPECT_EQ(openedValue(&third), "second");
    EXPECT_EQ(engine.Files().Reads(), 3);
    for (const win::HINF inf : {first, third}) engine.Api().CloseInfFile(inf);
}

// Large sections are searched through an index of substituted keys; it
// must find what a search line by line finds, repeated keys in order.
TEST(InfKeySearch, LargeSectionFindsEveryRepeatedKey) {
    std::string text = std::string(kVersion) + "[Big]\n";
    for (int i = 0; i < 200; ++i)
        text += (i % 50 == 7 ? std::string("%rep%") : "key" + std::to_string(i)) + "=" + std::to_string(i) + "\n";
    text += "[Strings]\nrep=Repeated\n";
    TestEngine engine;
    const win::HINF inf = engine.Open(text);
    std::vector<std::string> found;
    win::INFCONTEXT context;
    for (bool ok = engine.Api().FindFirstLine(inf, "Big", "REPEATED", &context) != win::FALSE; ok;
         ok = engine.Api().FindNextMatchLine(&context, "repeated", &context) != win::FALSE)
        found.push_back(engine.Field(context, 1));
    EXPECT_EQ(found, (std::vector<std::string>{"7", "57", "107", "157"}));
    EXPECT_EQ(win::GetLastError(), win::ERROR_LINE_NOT_FOUND);
    ASSERT_TRUE(engine.Api().FindFirstLine(inf, "Big", "Key199", &context));
    EXPECT_EQ(engine.Field(context, 1), "199");
    EXPECT_FALSE(engine.Api().FindFirstLine(inf, "Big", "%rep%", &context));
}

TEST(SetupApiModule, ExportsEveryNameTheProgramLooksUp) {
    for (const char *name :
         {"SetupOpenInfFileA", "SetupCloseInfFile", "SetupGetInfInformationA", "SetupOpenAppendInfFileA",
          "SetupPromptForDiskA", "SetupGetLineTextA", "SetupFindFirstLineA", "SetupGetStringFieldA",
          "SetupGetTargetPathA", "SetupCopyOEMInfA", "SetupOpenFileQueue", "SetupCloseFileQueue", "SetupQueueCopyA",
          "SetupCommitFileQueueA", "SetupDefaultQueueCallbackA", "SetupInitDefaultQueueCallback",
          "SetupTermDefaultQueueCallback", "SetupFindNextLine", "SetupGetSourceFileLocationA", "SetupGetSourceInfoA",
          "SetupFindNextMatchLineA", "SetupGetFieldCount", "SetupGetLineCountA", "SetupGetLineByIndexA",
          "SetupEnumInfSectionsA"})
        EXPECT_NE(sim::SetupApiExport(name), nullptr) << name;
    EXPECT_EQ(sim::SetupApiExport("setupopeninffilea"), nullptr);
    EXPECT_EQ(sim::SetupApiExport("SetupOpenInfFileW"), nullptr);
}

TEST(SetupApiModule, FileQueueCallsAreNotImplemented) {
    auto openQueue = reinterpret_cast<void *(MIRTEL_STDCALL *)()>(sim::SetupApiExport("SetupOpenFileQueue"));
    EXPECT_EQ(openQueue(), win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win::GetLastError(), sim::setupapi::ERROR_CALL_NOT_IMPLEMENTED);
    auto closeQueue = reinterpret_cast<win::BOOL(MIRTEL_STDCALL *)(void *)>(sim::SetupApiExport("SetupCloseFileQueue"));
    win::SetLastError(0);
    EXPECT_FALSE(closeQueue(nullptr));
    EXPECT_EQ(win::GetLastError(), sim::setupapi::ERROR_CALL_NOT_IMPLEMENTED);
}

}  // namespace

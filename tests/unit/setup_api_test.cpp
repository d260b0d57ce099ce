// The setup-API loader: which libraries it accepts, what it does to PATH,
// and wrappers that never call through a missing entry point.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "inf/setup_api.h"
#include "support/machine_fixture.h"
#include "support/path_variable.h"

namespace {

using inf_testing::PathVariableGuard;
using testing_machine::MachineFolder;

std::optional<std::string> PathVariable() {
    const char *value = std::getenv("PATH");
    return value ? std::optional<std::string>(value) : std::nullopt;
}

TEST(CSetupApiTest, AcceptsTheLibraryOnlyWhenEveryRequiredEntryPointResolves) {
    struct Case {
        const char *present;
        const char *missingExports;
        BOOL ok;
    };
    const Case cases[] = {
        {"1", "", TRUE},
        {"1", "SetupCopyOEMInfA", TRUE},
        {"1", "SetupOpenFileQueue", TRUE},
        {"1", "SetupTermDefaultQueueCallback", TRUE},
        {"1", "SetupCopyOEMInfA,SetupOpenFileQueue,SetupTermDefaultQueueCallback", TRUE},
        // Required although the program never calls it.
        {"1", "SetupPromptForDiskA", FALSE},
        {"1", "SetupGetLineTextA", FALSE},
        {"1", "SetupOpenInfFileA", FALSE},
        {"1", "SetupGetSourceInfoA", FALSE},
        {"0", "", FALSE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("Present=") + c.present + " MissingExports=" + c.missingExports);
        MachineFolder machine;
        machine.SetIni("SetupApi", "Present", c.present);
        machine.SetIni("SetupApi", "MissingExports", c.missingExports);
        machine.Use();
        PathVariableGuard path;
        setenv("PATH", "C:\\A", 1);

        BOOL ok = 2;
        CSetupApi api(ok, "C:\\WINDOWS");
        EXPECT_EQ(ok, c.ok);
    }
}

TEST(CSetupApiTest, AppendsTheFolderToPathOnceAndOnlyWhenPathHasAValue) {
    struct Case {
        const char *name;
        std::optional<std::string> before;
        const char *present;
        std::optional<std::string> after;
        BOOL ok;
    };
    const Case cases[] = {
        {"no PATH", std::nullopt, "1", std::nullopt, FALSE},
        {"empty PATH", std::string(), "1", std::string(), FALSE},
        {"PATH with a value", std::string("C:\\A"), "1", std::string("C:\\A;C:\\WINDOWS"), TRUE},
        {"library missing", std::string("C:\\A"), "0", std::string("C:\\A;C:\\WINDOWS"), FALSE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MachineFolder machine;
        machine.SetIni("SetupApi", "Present", c.present);
        machine.Use();
        PathVariableGuard path;
        if (c.before)
            setenv("PATH", c.before->c_str(), 1);
        else
            unsetenv("PATH");

        BOOL ok = 2;
        {
            CSetupApi api(ok, "C:\\WINDOWS");
            EXPECT_EQ(ok, c.ok);
            EXPECT_EQ(PathVariable(), c.after);
            // Without a PATH value the library is not even loaded.
            EXPECT_EQ(GetModuleHandleA("SetupApi.DLL") != nullptr, c.ok == TRUE);
        }
        // The change outlives the loader; the library does not.
        EXPECT_EQ(PathVariable(), c.after);
        EXPECT_EQ(GetModuleHandleA("SetupApi.DLL"), nullptr);
    }
}

TEST(CSetupApiTest, WrappersOfMissingEntryPointsFailWithoutCalling) {
    MachineFolder machine;
    machine.SetIni("SetupApi", "MissingExports",
                   "SetupOpenInfFileA,SetupCloseInfFile,SetupGetInfInformationA,"
                   "SetupOpenAppendInfFileA,SetupGetLineTextA,SetupFindFirstLineA,"
                   "SetupGetStringFieldA,SetupFindNextLine");
    machine.Use();
    PathVariableGuard path;
    setenv("PATH", "C:\\A", 1);

    BOOL ok = TRUE;
    CSetupApi api(ok, "C:\\WINDOWS");
    EXPECT_FALSE(ok);
    EXPECT_FALSE(api.HasEntryPoint(CSetupApi::kSetupGetLineTextA));
    EXPECT_TRUE(api.HasEntryPoint(CSetupApi::kSetupPromptForDiskA));

    UINT errorLine = 0;
    EXPECT_EQ(api.SetupOpenInfFile("C:\\x.inf", nullptr, INF_STYLE_WIN4, &errorLine),
              INVALID_HANDLE_VALUE);
    api.SetupCloseInfFile(reinterpret_cast<HINF>(0x1234));
    DWORD required = 0;
    EXPECT_FALSE(api.SetupGetInfInformation("C:\\x.inf", INFINFO_INF_NAME_IS_ABSOLUTE, nullptr, 0,
                                            &required));
    EXPECT_FALSE(api.SetupOpenAppendInfFile(nullptr, reinterpret_cast<HINF>(0x1234), &errorLine));
    char buffer[16];
    EXPECT_FALSE(api.SetupGetLineText(nullptr, reinterpret_cast<HINF>(0x1234), "Version",
                                      "Provider", buffer, sizeof buffer, &required));
    INFCONTEXT context = {};
    EXPECT_FALSE(api.SetupFindFirstLine(reinterpret_cast<HINF>(0x1234), "Version", nullptr,
                                        &context));
    EXPECT_FALSE(api.SetupGetStringField(&context, 0, buffer, sizeof buffer, &required));
    EXPECT_FALSE(api.SetupFindNextLine(&context, &context));
}

}  // namespace

// System information of the simulated machine: version records, folders,
// environment and the token's groups, each as machine.ini describes them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/library.h"
#include "platform/sim/machine/machine.h"
#include "platform/system.h"
#include "support/machine_fixture.h"

namespace {

using namespace win;

TEST(SimSystem, VersionRecordsBySize) {
    testing_machine::MachineFolder machine;
    machine.SetIni("Version", "MajorVersion", "6");
    machine.SetIni("Version", "MinorVersion", "1");
    machine.SetIni("Version", "BuildNumber", "7601");
    machine.SetIni("Version", "ProductType", "3");
    machine.SetIni("Version", "SuiteMask", "0x0110");
    machine.Use();
    const struct {
        DWORD size;
        BOOL result;
    } cases[] = {{148, TRUE}, {156, TRUE}, {0, FALSE}, {147, FALSE}, {152, FALSE}, {157, FALSE}};
    for (const auto &c : cases) {
        OSVERSIONINFOEXA info;
        std::memset(&info, 0xcc, sizeof info);
        info.dwOSVersionInfoSize = c.size;
        SetLastError(0);
        EXPECT_EQ(GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&info)), c.result) << c.size;
        if (!c.result) {
            EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << c.size;
            continue;
        }
        EXPECT_EQ(info.dwOSVersionInfoSize, c.size);
        EXPECT_EQ(info.dwMajorVersion, 6u);
        EXPECT_EQ(info.dwMinorVersion, 1u);
        EXPECT_EQ(info.dwBuildNumber, 7601u);
        EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
        EXPECT_EQ(info.szCSDVersion[0], '\0');
        if (c.size == 156) {
            EXPECT_EQ(info.wProductType, VER_NT_SERVER);
            EXPECT_EQ(info.wSuiteMask, 0x0110);
        } else {
            // The basic record leaves the extended fields alone.
            EXPECT_EQ(info.wSuiteMask, 0xcccc);
        }
    }
}

TEST(SimSystem, VersionQueryCanFail) {
    testing_machine::MachineFolder machine;
    machine.SetIni("Version", "VersionQueryFails", "1");
    machine.Use();
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    EXPECT_FALSE(GetVersionExA(&info));
}

TEST(SimSystem, FolderQueriesFollowTheKernelSizeConvention) {
    testing_machine::MachineFolder machine;
    machine.SetIni("System", "SystemDirectory", "C:\\WINNT\\system32");
    machine.Use();
    const std::string folder = "C:\\WINNT\\system32";
    const struct {
        UINT size;
        UINT result;
    } cases[] = {{0, 18}, {17, 18}, {18, 17}, {260, 17}};
    for (const auto &c : cases) {
        char buffer[260] = "untouched";
        EXPECT_EQ(GetSystemDirectoryA(buffer, c.size), c.result) << c.size;
        if (c.result < c.size) EXPECT_STREQ(buffer, folder.c_str());
        else EXPECT_STREQ(buffer, "untouched");
    }
    char temp[260];
    EXPECT_EQ(GetTempPathA(sizeof temp, temp), 16u);
    EXPECT_STREQ(temp, "C:\\WINDOWS\\Temp\\");
    EXPECT_EQ(GetTempPathA(0, nullptr), 17u);
}

TEST(SimSystem, LanguageCodePageAndScreen) {
    testing_machine::MachineFolder machine;
    machine.SetIni("System", "DefaultLangID", "0x0411");
    machine.SetIni("System", "AnsiCodePage", "932");
    machine.SetIni("System", "ScreenWidth", "1280");
    machine.Use();
    EXPECT_EQ(GetSystemDefaultLangID(), 0x0411);
    EXPECT_EQ(GetACP(), 932u);
    EXPECT_TRUE(IsDBCSLeadByte(0x82));
    EXPECT_FALSE(IsDBCSLeadByte('A'));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

TEST(SimSystem, ProgramPathGoesThroughTheDriveMapping) {
    testing_machine::MachineFolder machine;
    char host[4096];
    const ssize_t length = readlink("/proc/self/exe", host, sizeof host - 1);
    ASSERT_GT(length, 0);
    const std::string exe(host, static_cast<std::size_t>(length));
    const std::string folder = exe.substr(0, exe.rfind('/'));
    const std::string name = exe.substr(exe.rfind('/') + 1);
    machine.SetIni("Drives", "P", folder);
    machine.Use();
    char path[MAX_PATH];
    const DWORD written = GetModuleFileNameA(nullptr, path, sizeof path);
    EXPECT_EQ(std::string(path), "P:\\" + name);
    EXPECT_EQ(written, name.size() + 3);
    EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), path, sizeof path), written);

    char small[4];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 4u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(small, "P:\\");
}

TEST(SimSystem, EnvironmentFollowsWin32Conventions) {
    ASSERT_TRUE(SetEnvironmentVariableA("MirtelTestVar", "value"));
    char buffer[16];
    EXPECT_EQ(GetEnvironmentVariableA("MIRTELTESTVAR", nullptr, 0), 6u);  // needs the zero too
    EXPECT_EQ(GetEnvironmentVariableA("mirteltestvar", buffer, 5), 6u);
    EXPECT_EQ(GetEnvironmentVariableA("MirtelTestVar", buffer, 6), 5u);
    EXPECT_STREQ(buffer, "value");

    ASSERT_TRUE(SetEnvironmentVariableA("MIRTELTESTVAR", "other"));  // replaces, whatever the case
    EXPECT_EQ(GetEnvironmentVariableA("MirtelTestVar", buffer, sizeof buffer), 5u);
    EXPECT_STREQ(buffer, "other");

    ASSERT_TRUE(SetEnvironmentVariableA("MirtelTestVar", nullptr));
    SetLastError(0);
    EXPECT_EQ(GetEnvironmentVariableA("MirtelTestVar", buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), ERROR_ENVVAR_NOT_FOUND);
    EXPECT_EQ(std::getenv("MirtelTestVar"), nullptr);
    EXPECT_EQ(std::getenv("MIRTELTESTVAR"), nullptr);

    EXPECT_FALSE(SetEnvironmentVariableA("A=B", "x"));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// The Administrators SID as the program builds it.
PSID Administrators() {
    SID_IDENTIFIER_AUTHORITY nt = {{0, 0, 0, 0, 0, 5}};
    PSID sid = nullptr;
    EXPECT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                         0, 0, 0, 0, &sid));
    return sid;
}

TEST(SimSystem, TokenGroupsFollowTheAdministratorSetting) {
    const struct {
        const char *setting;
        bool listed;
        DWORD attributes;
    } cases[] = {
        {"0", false, 0},
        {"1", true, SE_GROUP_ENABLED},
        {"2", true, SE_GROUP_USE_FOR_DENY_ONLY},
    };
    for (const auto &c : cases) {
        testing_machine::MachineFolder machine;
        machine.SetIni("System", "Administrator", c.setting);
        machine.Use();
        HANDLE token = nullptr;
        ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
        DWORD needed = 0;
        EXPECT_FALSE(GetTokenInformation(token, TokenGroups, nullptr, 0, &needed));
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        ASSERT_GT(needed, sizeof(TOKEN_GROUPS));
        DWORD tooSmall = 0;
        std::vector<BYTE> small(needed - 1);
        EXPECT_FALSE(GetTokenInformation(token, TokenGroups, small.data(), needed - 1, &tooSmall));
        EXPECT_EQ(tooSmall, needed);

        std::vector<std::uint64_t> block((needed + 7) / 8);
        ASSERT_TRUE(GetTokenInformation(token, TokenGroups, block.data(), needed, &needed));
        const auto *groups = reinterpret_cast<const TOKEN_GROUPS *>(block.data());
        const BYTE *begin = reinterpret_cast<const BYTE *>(block.data());
        PSID admins = Administrators();
        int found = 0;
        for (DWORD i = 0; i < groups->GroupCount; ++i) {
            const BYTE *sid = static_cast<const BYTE *>(groups->Groups[i].Sid);
            EXPECT_GE(sid, begin + sizeof(DWORD) + groups->GroupCount * sizeof(SID_AND_ATTRIBUTES));
            EXPECT_LE(sid + 8 + 4 * sid[1], begin + needed);
            if (EqualSid(groups->Groups[i].Sid, admins)) {
                ++found;
                EXPECT_EQ(groups->Groups[i].Attributes & (SE_GROUP_ENABLED | SE_GROUP_USE_FOR_DENY_ONLY),
                          c.attributes)
                    << c.setting;
            }
        }
        EXPECT_EQ(found, c.listed ? 1 : 0) << c.setting;
        EXPECT_GE(groups->GroupCount, 2u);
        EXPECT_EQ(FreeSid(admins), nullptr);
        EXPECT_TRUE(CloseHandle(token));
        EXPECT_FALSE(CloseHandle(token));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
}

TEST(SimSystem, SidsCompareByAuthorityAndSubAuthorities) {
    SID_IDENTIFIER_AUTHORITY nt = {{0, 0, 0, 0, 0, 5}};
    SID_IDENTIFIER_AUTHORITY world = {{0, 0, 0, 0, 0, 1}};
    PSID a = nullptr, b = nullptr, c = nullptr, d = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, 32, 544, 0, 0, 0, 0, 0, 0, &a));
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, 32, 544, 9, 9, 9, 9, 9, 9, &b));  // extras unused
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, 32, 545, 0, 0, 0, 0, 0, 0, &c));
    ASSERT_TRUE(AllocateAndInitializeSid(&world, 2, 32, 544, 0, 0, 0, 0, 0, 0, &d));
    EXPECT_TRUE(EqualSid(a, b));
    EXPECT_FALSE(EqualSid(a, c));
    EXPECT_FALSE(EqualSid(a, d));
    PSID tooMany = nullptr;
    EXPECT_FALSE(AllocateAndInitializeSid(&nt, 9, 0, 0, 0, 0, 0, 0, 0, 0, &tooMany));
    for (PSID sid : {a, b, c, d}) FreeSid(sid);
}

TEST(SimSystem, LastErrorBelongsToTheThread) {
    SetLastError(5);
    DWORD seenByOther = 1;
    std::thread([&] { seenByOther = GetLastError(); }).join();
    EXPECT_EQ(seenByOther, 0u);
    EXPECT_EQ(GetLastError(), 5u);
}

}  // namespace

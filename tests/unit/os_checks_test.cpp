// The OS code and the terminal-server answer, for the versions and suites
// the simulated machine reports.
#include <gtest/gtest.h>

#include <string>

#include "checks/product_suite.h"
#include "unit/app_on_machine.h"

namespace {

const char *const kProductOptions = "System\\CurrentControlSet\\Control\\ProductOptions";

class OSChecks : public AppOnMachine {
protected:
    void SetVersion(const char *platformId, const char *major, const char *minor) {
        m_machine.SetIni("Version", "PlatformId", platformId);
        m_machine.SetIni("Version", "MajorVersion", major);
        m_machine.SetIni("Version", "MinorVersion", minor);
    }
    void SetSuite(DWORD type, const std::string &bytes) {
        App();
        PutValue(HKEY_LOCAL_MACHINE, kProductOptions, "ProductSuite", type, bytes);
    }
};

struct VersionCase {
    const char *platformId;
    const char *major;
    const char *minor;
    WORD code;
};

TEST_F(OSChecks, CodeFollowsPlatformAndVersion) {
    const VersionCase cases[] = {
        {"1", "4", "0", kOSWin95},      {"1", "4", "10", kOSWin98},     {"1", "4", "90", kOSWin98},
        {"2", "4", "0", kOSWinNT4},     {"2", "5", "0", kOSWinNT5},     {"2", "5", "1", kOSWinNT5},
        {"2", "6", "1", kOSWinNT5},     {"2", "3", "51", kOSWinNT5},    {"2", "0", "0", kOSWinNT5},
        {"2", "7", "0", kOSUnsupported}, {"2", "10", "0", kOSUnsupported},
        {"2", "0xFFFFFFFF", "0", kOSUnsupported}, {"0", "3", "1", kOSUnsupported},
        {"3", "5", "1", kOSUnsupported},
    };
    CMirtelApp &app = App();
    for (const VersionCase &c : cases) {
        SetVersion(c.platformId, c.major, c.minor);
        m_machine.Use();
        app.kGetOSVersion();
        const std::string label = std::string(c.platformId) + " " + c.major + "." + c.minor;
        EXPECT_EQ(app.m_nOSCode, c.code) << label;
        EXPECT_EQ(app.m_dwMajorVersion, std::stoul(c.major, nullptr, 0)) << label;
        EXPECT_EQ(app.m_dwMinorVersion, std::stoul(c.minor, nullptr, 0)) << label;
    }
}

TEST_F(OSChecks, FailedVersionQueryIsUnsupportedAndKeepsTheNumbers) {
    m_machine.SetIni("Version", "VersionQueryFails", "1");
    CMirtelApp &app = App();
    app.m_nOSCode = kOSWinNT5;
    app.m_dwMajorVersion = 5;
    app.m_dwMinorVersion = 1;
    app.kGetOSVersion();
    EXPECT_EQ(app.m_nOSCode, kOSUnsupported);
    EXPECT_EQ(app.m_dwMajorVersion, 5u);
    EXPECT_EQ(app.m_dwMinorVersion, 1u);
}

struct ServerCase {
    const char *productType;
    const char *suiteMask;
    BOOL terminalServer;
};

TEST_F(OSChecks, NtFiveIsATerminalServerOnlyAsAServerWithTheTerminalSuite) {
    const ServerCase cases[] = {
        {"3", "0x10", TRUE},  {"3", "0x0112", TRUE}, {"3", "0x0", FALSE}, {"3", "0x0100", FALSE},
        {"1", "0x10", FALSE}, {"2", "0x10", FALSE},  {"1", "0x0", FALSE},
    };
    CMirtelApp &app = App();
    for (const ServerCase &c : cases) {
        m_machine.SetIni("Version", "ProductType", c.productType);
        m_machine.SetIni("Version", "SuiteMask", c.suiteMask);
        m_machine.Use();
        EXPECT_EQ(app.kIsTerminalServer(kOSWinNT5), c.terminalServer)
            << c.productType << " " << c.suiteMask;
    }
}

TEST_F(OSChecks, NtFourAsksTheProductSuiteAndOtherCodesNeverCount) {
    m_machine.SetIni("Version", "ProductType", "3");
    m_machine.SetIni("Version", "SuiteMask", "0x10");
    SetSuite(REG_MULTI_SZ, std::string("Terminal Server\0\0", 17));
    CMirtelApp &app = App();
    EXPECT_TRUE(app.kIsTerminalServer(kOSWinNT4));
    for (WORD code : {kOSUnsupported, kOSWin95, kOSWin98, WORD{3}, WORD{16}})
        EXPECT_FALSE(app.kIsTerminalServer(code)) << code;
}

struct SuiteCase {
    const char *label;
    DWORD type;
    std::string bytes;
    BOOL found;
};

TEST_F(OSChecks, ProductSuiteIsACaseSensitiveMultiStringList) {
    using namespace std::string_literals;
    const SuiteCase cases[] = {
        {"only entry", REG_MULTI_SZ, "Terminal Server\0\0"s, TRUE},
        {"second entry", REG_MULTI_SZ, "Small Business\0Terminal Server\0\0"s, TRUE},
        {"lower case", REG_MULTI_SZ, "Small Business\0terminal server\0\0"s, FALSE},
        {"plain string", REG_SZ, "Terminal Server\0"s, FALSE},
        {"expandable string", REG_EXPAND_SZ, "Terminal Server\0"s, FALSE},
        {"after the closing empty string", REG_MULTI_SZ, "Small Business\0\0Terminal Server\0\0"s,
         FALSE},
        {"list without its closing empty string", REG_MULTI_SZ,
         "Small Business\0Terminal Server\0"s, TRUE},
        {"last string without its zero", REG_MULTI_SZ, "Small Business\0Terminal Server"s, TRUE},
        {"cut short", REG_MULTI_SZ, "Small Business\0Terminal Serv"s, FALSE},
        {"longer name", REG_MULTI_SZ, "Terminal Server Edition\0\0"s, FALSE},
        {"empty list", REG_MULTI_SZ, "\0"s, FALSE},
        {"no bytes", REG_MULTI_SZ, ""s, FALSE},
    };
    for (const SuiteCase &c : cases) {
        SetSuite(c.type, c.bytes);
        EXPECT_EQ(kHasProductSuite("Terminal Server"), c.found) << c.label;
    }
}

TEST_F(OSChecks, NoProductSuiteIsNoTerminalServer) {
    App();
    EXPECT_FALSE(kHasProductSuite("Terminal Server")) << "no key";
    PutValue(HKEY_LOCAL_MACHINE, kProductOptions, "ProductType", REG_SZ, std::string("WinNT", 6));
    EXPECT_FALSE(kHasProductSuite("Terminal Server")) << "no value";
}

}  // namespace

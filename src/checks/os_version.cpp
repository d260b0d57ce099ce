// The OS code that decides which registry values, INF signatures and busy
// tests the run uses, and whether the machine is a terminal server.
#include "app/mirtel_app.h"
#include "checks/product_suite.h"

namespace {

WORD OSCodeOf(const OSVERSIONINFOA &version) {
    switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
        return version.dwMinorVersion == 0 ? kOSWin95 : kOSWin98;
    case VER_PLATFORM_WIN32_NT:
        if (version.dwMajorVersion == 4) return kOSWinNT4;
        // NT 5.x and 6.x; the NT 3.x releases are treated alike. Later
        // versions are not supported.
        return version.dwMajorVersion <= 6 ? kOSWinNT5 : kOSUnsupported;
    default:
        return kOSUnsupported;
    }
}

}  // namespace

void CMirtelApp::kGetOSVersion() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version)) {
        m_nOSCode = kOSUnsupported;
        return;
    }
    m_dwMajorVersion = version.dwMajorVersion;
    m_dwMinorVersion = version.dwMinorVersion;
    m_nOSCode = OSCodeOf(version);
}

BOOL CMirtelApp::kIsTerminalServer(WORD osCode) {
    if (osCode == kOSWinNT5) {
        OSVERSIONINFOEXA version = {};
        version.dwOSVersionInfoSize = sizeof(version);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&version))) return FALSE;
        return version.wProductType == VER_NT_SERVER &&
               (version.wSuiteMask & VER_SUITE_TERMINAL) != 0;
    }
    if (osCode == kOSWinNT4) return kHasProductSuite("Terminal Server");
    return FALSE;
}

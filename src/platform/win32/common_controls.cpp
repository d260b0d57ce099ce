// comctl32 is loaded at run time, not imported: an import would be looked
// for beside the program at start-up, before any of its code runs, on the
// systems that have no side-by-side store (NT 4.0, 2000, the 95 family).
#include "platform/ui.h"
#include "platform/win32/native.h"

namespace win {
namespace {

// XP and later keep the common controls the manifest asks for in the
// side-by-side store, and a bare name is sent there before any folder is
// searched.
bool HasSideBySideStore() {
    ::OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!::GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
    return version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);
}

// Before XP, the system folder's own copy, named by its full path.
::HMODULE LoadCommonControls() {
    if (HasSideBySideStore()) return ::LoadLibraryA("comctl32.dll");
    char path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    constexpr char kName[] = "\\comctl32.dll";
    if (length == 0 || length + sizeof kName > MAX_PATH) return nullptr;
    ::lstrcpyA(path + length - (path[length - 1] == '\\' ? 1 : 0), kName);
    return ::LoadLibraryA(path);
}

}  // namespace

// The library stays loaded for the whole run: the window classes it
// registers are used until the program ends.
void InitCommonControls() {
    const ::HMODULE library = LoadCommonControls();
    if (!library) return;
    typedef void(WINAPI * InitFunction)();
    const auto init = win32::FunctionCast<InitFunction>(::GetProcAddress(library, "InitCommonControls"));
    if (init) init();
}

}  // namespace win

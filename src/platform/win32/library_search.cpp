#include "platform/win32/library_search.h"

#include "platform/win32/native.h"

namespace win32 {
namespace {

// Both are looked up, not imported: 95 and NT 4.0 lack them, and an import
// they lack would keep the program from starting there.
typedef BOOL(WINAPI *SetDefaultDllDirectoriesFunction)(DWORD);
typedef BOOL(WINAPI *SetDllDirectoryFunction)(LPCSTR);

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

void RestrictLibrarySearch() {
    const ::HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    // Windows 8, and 7 / Vista with the loader update: the system folder
    // alone (side-by-side and known libraries still come first).
    const auto setDefault = FunctionCast<SetDefaultDllDirectoriesFunction>(
        ::GetProcAddress(kernel, "SetDefaultDllDirectories"));
    if (setDefault && setDefault(kSearchSystem32)) return;
    // XP SP1 and later: an empty folder takes the current folder out.
    const auto setDllDirectory =
        FunctionCast<SetDllDirectoryFunction>(::GetProcAddress(kernel, "SetDllDirectoryA"));
    if (setDllDirectory) setDllDirectory("");
}

}  // namespace win32

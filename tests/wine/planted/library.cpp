// A library planted where a bare library name could find it (copied as
// PRINTUI.DLL, SetupApi.DLL, COMCTL32.DLL or shell32.dll): loading it runs
// its DllMain, which only says that it ran. It exports, as do-nothing
// stand-ins, the functions that importers of those names take from them,
// so that a load through an import gets as far as DllMain.
// Without the shell's and the common controls' headers: this library
// defines those names itself.
#define WIN32_LEAN_AND_MEAN
#include "planted/marker.h"

extern "C" {

__declspec(dllexport) void WINAPI InitCommonControls() {}

__declspec(dllexport) LPWSTR *WINAPI CommandLineToArgvW(LPCWSTR, int *count) {
    if (count) *count = 0;
    return nullptr;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) WritePlantedMarker(self, "library");
    return TRUE;
}

}  // extern "C"

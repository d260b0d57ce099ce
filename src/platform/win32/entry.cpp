// The program's entry point on Windows: a GUI-subsystem WinMain with ANSI
// arguments that hands over to the framework once the library search is
// narrowed.
#include "platform/entry.h"
#include "platform/win32/library_search.h"
#include "platform/win32/native.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    win32::RestrictLibrarySearch();
    return ProgramMain();
}

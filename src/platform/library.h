// Library service: loading modules at run time and reading their string
// resources. A null module in LoadStringA means the program itself.
#pragma once

#include "platform/types.h"

namespace win {

typedef void (*FARPROC)();

HMODULE LoadLibraryA(const char *fileName);

// LoadLibraryExA's flags. A library mapped as a data file runs no code
// (neither its DllMain nor its imports) and serves only its resources;
// with the altered search path, a library named by its full path has its
// imports looked for in its own folder first.
constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;
constexpr DWORD LOAD_WITH_ALTERED_SEARCH_PATH = 0x00000008;
HMODULE LoadLibraryExA(const char *fileName, HANDLE file, DWORD flags);
FARPROC GetProcAddress(HMODULE module, const char *name);
BOOL FreeLibrary(HMODULE module);
int LoadStringA(HINSTANCE instance, UINT id, char *buffer, int size);
HINSTANCE GetModuleHandleA(const char *moduleName);

}  // namespace win

// Library service: loading modules at run time and reading their string
// resources. A null module in LoadStringA means the program itself.
#pragma once

#include "platform/types.h"

namespace win {

typedef void (*FARPROC)();

HMODULE LoadLibraryA(const char *fileName);
FARPROC GetProcAddress(HMODULE module, const char *name);
BOOL FreeLibrary(HMODULE module);
int LoadStringA(HINSTANCE instance, UINT id, char *buffer, int size);
HINSTANCE GetModuleHandleA(const char *moduleName);

}  // namespace win

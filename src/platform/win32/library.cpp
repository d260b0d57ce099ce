// Library service: run-time loading and string resources of modules.
#include "platform/library.h"
#include "platform/win32/native.h"

namespace win {

HMODULE LoadLibraryA(const char *fileName) {
    return reinterpret_cast<HMODULE>(::LoadLibraryA(fileName));
}

HMODULE LoadLibraryExA(const char *fileName, HANDLE file, DWORD flags) {
    return reinterpret_cast<HMODULE>(::LoadLibraryExA(fileName, reinterpret_cast<::HANDLE>(file), flags));
}

FARPROC GetProcAddress(HMODULE module, const char *name) {
    return win32::FunctionCast<FARPROC>(::GetProcAddress(reinterpret_cast<::HMODULE>(module), name));
}

BOOL FreeLibrary(HMODULE module) { return ::FreeLibrary(reinterpret_cast<::HMODULE>(module)); }

int LoadStringA(HINSTANCE instance, UINT id, char *buffer, int size) {
    // No module means the program's own string table.
    ::HINSTANCE module = instance != nullptr ? reinterpret_cast<::HINSTANCE>(instance)
                                             : ::GetModuleHandleA(nullptr);
    return ::LoadStringA(module, id, buffer, size);
}

HINSTANCE GetModuleHandleA(const char *moduleName) {
    return reinterpret_cast<HINSTANCE>(::GetModuleHandleA(moduleName));
}

}  // namespace win

// System information service: version, folders, language, code page,
// screen size and environment.
#include "platform/system.h"
#include "platform/win32/native.h"

namespace win {

BOOL GetVersionExA(OSVERSIONINFOA *info) {
    return ::GetVersionExA(reinterpret_cast<::LPOSVERSIONINFOA>(info));
}

UINT GetSystemDirectoryA(char *buffer, UINT size) { return ::GetSystemDirectoryA(buffer, size); }

DWORD GetTempPathA(DWORD size, char *buffer) { return ::GetTempPathA(size, buffer); }

DWORD GetModuleFileNameA(HMODULE module, char *buffer, DWORD size) {
    return ::GetModuleFileNameA(reinterpret_cast<::HMODULE>(module), buffer, size);
}

LANGID GetSystemDefaultLangID() { return ::GetSystemDefaultLangID(); }

UINT GetACP() { return ::GetACP(); }

BOOL IsDBCSLeadByte(BYTE c) { return ::IsDBCSLeadByte(c); }

int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

DWORD GetEnvironmentVariableA(const char *name, char *buffer, DWORD size) {
    return ::GetEnvironmentVariableA(name, buffer, size);
}

BOOL SetEnvironmentVariableA(const char *name, const char *value) {
    return ::SetEnvironmentVariableA(name, value);
}

BOOL CloseHandle(HANDLE handle) { return ::CloseHandle(reinterpret_cast<::HANDLE>(handle)); }

}  // namespace win

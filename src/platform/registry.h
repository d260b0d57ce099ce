// Registry service: the advapi32 calls the program makes, with Win32's
// argument order, result codes (LONG, ERROR_SUCCESS on success) and types.
#pragma once

#include "platform/types.h"

namespace win {

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

LONG RegOpenKeyA(HKEY root, const char *subKey, HKEY *result);
LONG RegOpenKeyExA(HKEY root, const char *subKey, DWORD options, REGSAM access, HKEY *result);
LONG RegCreateKeyExA(HKEY root, const char *subKey, DWORD reserved, char *className, DWORD options,
                     REGSAM access, void *securityAttributes, HKEY *result, DWORD *disposition);
LONG RegCloseKey(HKEY key);
// `size` is in/out: capacity offered, then the byte count of the value.
// With data null only the type and size are returned. A buffer that is too
// small gives ERROR_MORE_DATA and the needed size.
LONG RegQueryValueExA(HKEY key, const char *valueName, DWORD *reserved, DWORD *type, BYTE *data,
                      DWORD *size);
LONG RegSetValueExA(HKEY key, const char *valueName, DWORD reserved, DWORD type, const BYTE *data,
                    DWORD size);
LONG RegDeleteValueA(HKEY key, const char *valueName);
// Test helpers use these to clean up after themselves.
LONG RegDeleteKeyA(HKEY root, const char *subKey);

}  // namespace win

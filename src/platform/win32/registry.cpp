// Registry service: advapi32, argument for argument.
#include "platform/registry.h"
#include "platform/win32/native.h"

namespace win {
namespace {

::HKEY Native(HKEY key) { return reinterpret_cast<::HKEY>(key); }
::PHKEY Native(HKEY *key) { return reinterpret_cast<::PHKEY>(key); }
::LPDWORD Native(DWORD *value) { return reinterpret_cast<::LPDWORD>(value); }

}  // namespace

LONG RegOpenKeyA(HKEY root, const char *subKey, HKEY *result) {
    return ::RegOpenKeyA(Native(root), subKey, Native(result));
}

LONG RegOpenKeyExA(HKEY root, const char *subKey, DWORD options, REGSAM access, HKEY *result) {
    return ::RegOpenKeyExA(Native(root), subKey, options, access, Native(result));
}

LONG RegCreateKeyExA(HKEY root, const char *subKey, DWORD reserved, char *className, DWORD options,
                     REGSAM access, void *securityAttributes, HKEY *result, DWORD *disposition) {
    return ::RegCreateKeyExA(Native(root), subKey, reserved, className, options, access,
                             static_cast<::LPSECURITY_ATTRIBUTES>(securityAttributes),
                             Native(result), Native(disposition));
}

LONG RegCloseKey(HKEY key) { return ::RegCloseKey(Native(key)); }

LONG RegQueryValueExA(HKEY key, const char *valueName, DWORD *reserved, DWORD *type, BYTE *data,
                      DWORD *size) {
    return ::RegQueryValueExA(Native(key), valueName, Native(reserved), Native(type), data,
                              Native(size));
}

LONG RegSetValueExA(HKEY key, const char *valueName, DWORD reserved, DWORD type, const BYTE *data,
                    DWORD size) {
    return ::RegSetValueExA(Native(key), valueName, reserved, type, data, size);
}

LONG RegDeleteValueA(HKEY key, const char *valueName) {
    return ::RegDeleteValueA(Native(key), valueName);
}

LONG RegDeleteKeyA(HKEY root, const char *subKey) { return ::RegDeleteKeyA(Native(root), subKey); }

}  // namespace win

// Profile (INI file) service: kernel32's own reader.
#include "platform/profile.h"
#include "platform/win32/native.h"

namespace win {

DWORD GetPrivateProfileStringA(const char *section, const char *key, const char *defaultValue,
                               char *buffer, DWORD size, const char *fileName) {
    return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, fileName);
}

}  // namespace win

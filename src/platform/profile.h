// Profile (INI file) service: GetPrivateProfileStringA with Windows' rules
// for awkward files (encodings, quotes, truncation, name lists).
#pragma once

#include "platform/types.h"

namespace win {

DWORD GetPrivateProfileStringA(const char *section, const char *key, const char *defaultValue,
                               char *buffer, DWORD size, const char *fileName);

}  // namespace win

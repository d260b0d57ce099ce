// The diagnostic log: PSLOG.TXT in the temporary folder, appended to only
// when the registry value OutputLevel switches it on.
#pragma once

#include "framework/afx.h"

class CMirtelApp;

void WriteLog(CMirtelApp *app, const char *format, ...) __attribute__((format(printf, 2, 3)));

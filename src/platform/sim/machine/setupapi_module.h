// The built-in "SetupApi.DLL" of the simulated machine: its exports are the
// project's own INF engine. LoadLibraryA/GetProcAddress hand these out.
#pragma once

#include "platform/library.h"

namespace sim {

// The entry point exported as `name` (e.g. "SetupOpenInfFileA"), or null
// when the module has no such export.
win::FARPROC SetupApiExport(const char *name);

}  // namespace sim

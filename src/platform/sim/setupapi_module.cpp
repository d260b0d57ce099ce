#include "platform/sim/setupapi_module.h"

namespace sim {

// The INF engine's exports are not wired in yet: the module loads but
// exports nothing.
win::FARPROC SetupApiExport(const char *) { return nullptr; }

}  // namespace sim

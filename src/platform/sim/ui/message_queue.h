// The program's message queue: one for the process, since only the main
// thread has windows; any thread may post to it.
#pragma once

#include "platform/ui.h"

namespace sim {

// Drops the posted messages of a window that is gone, as DestroyWindow
// flushes them on Windows.
void DiscardMessagesFor(win::HWND window);

}  // namespace sim

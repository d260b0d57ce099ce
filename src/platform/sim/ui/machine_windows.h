// Top-level windows of the other programs on the machine: those machine.ini
// [Windows] describes, and those of programs running on the machine now,
// each of which publishes its own in windows.d/<pid> of the machine folder.
//
// A windows.d file holds the start time of its process (field 22 of
// /proc/<pid>/stat) on its first line, so that a file left by a killed
// program is ignored even once its pid is reused, and then one line per
// window: the handle ("0x…"), a tab, the class name, a tab, the title.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace sim {

struct OtherWindow {
    win::HWND handle = nullptr;
    std::string className;  // empty for [Windows] entries
    std::string title;
};

std::vector<OtherWindow> OtherProgramsWindows();
bool FindOtherWindow(win::HWND handle, OtherWindow *window);

// Rewrites this process's windows.d file from its top-level windows, or
// removes it when there are none.
void PublishOwnWindows();

}  // namespace sim

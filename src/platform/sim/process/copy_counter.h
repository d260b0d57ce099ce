// Where the single-copy counter of this process lives (single_copy.cpp).
#pragma once

#include <string>

namespace sim {

// Makes `folder` the place of this process's copy counter and window slot
// instead of the one its program file gives; empty goes back to that one.
// Tests that run the start-up in their own process keep apart this way.
void UseCopyCounterFolder(const std::string &folder);

}  // namespace sim

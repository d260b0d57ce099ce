// Live and peak bytes of the program's heap blocks, counted by this
// program's own operator new and delete.
#pragma once

#include <cstddef>

namespace heap_counter {

std::size_t LiveBytes();
// Starts a new peak at the present live size.
void ResetPeak();
std::size_t PeakBytes();

}  // namespace heap_counter

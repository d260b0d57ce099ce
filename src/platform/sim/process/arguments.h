// The process's argument vector as win::ArgumentCount / win::Arguments
// give it. main stores it; tests may store their own.
#pragma once

namespace sim {

void SetArguments(int argc, const char *const *argv);

}  // namespace sim

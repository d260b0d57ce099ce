// Opening a host file that must be a regular file: a FIFO, a device or a
// folder in its place is refused at once instead of blocking the program.
#pragma once

#include <sys/types.h>

#include <string>

#include "platform/sim/unique_fd.h"

namespace sim {

// open(2) of `hostPath` with `flags` (O_CLOEXEC added) and `mode`, which
// never waits: anything but a regular file is refused with errno EACCES
// and one line on standard error naming it. An empty result on failure,
// errno telling why.
UniqueFd OpenRegularFile(const std::string &hostPath, int flags, mode_t mode = 0);

}  // namespace sim

// Ctrl-C (SIGINT), SIGTERM and SIGHUP end the check cleanly: every
// installer run still going is killed with what it started, no new run
// begins, and the temporary machines go with the objects that own them as
// the check unwinds. A signal handler could do none of that safely, so the
// signals are blocked in every thread and one thread waits for them.
#pragma once

#include <sys/types.h>

namespace check {

// Blocks the signals in this thread and every thread it starts later, and
// starts the thread that waits for them. Call before any other thread.
void WatchForCancellation();

bool CancellationRequested();

// The process groups of the runs going on: killed when the check is
// cancelled.
void TrackProcessGroup(pid_t group);
void UntrackProcessGroup(pid_t group);

}  // namespace check

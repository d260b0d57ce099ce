// Blocking waits of the simulated kernel. Every wait a thread can be ended
// in (WaitForSingleObject, Sleep) goes through WaitReadable, so that
// TerminateThread, which POSIX cannot do safely by force, can wake the
// thread and unwind it instead.
#pragma once

#include <chrono>

#include "platform/sim/machine/handles.h"
#include "platform/types.h"

namespace sim {

// A kernel object that can be waited on: signalled once its file
// descriptor reads as readable (a process's pidfd, a thread's end event).
class WaitableObject : public HandleObject {
public:
    virtual int SignalFd() const = 0;
};

// Thrown out of a wait of a thread that TerminateThread is ending; only the
// thread's start routine (thread.cpp) catches it. Thread routines must let
// it pass.
struct ThreadTerminated {};

// The calling thread's termination event (an eventfd), set by the thread
// start routine; threads not made by CreateThread have none.
void SetTerminationEventOfThisThread(int eventFd);

// Milliseconds left until `deadline`, for poll: -1 for ever.
int PollTimeout(bool forever, std::chrono::steady_clock::time_point deadline);

enum class WaitOutcome { Signalled, TimedOut, Failed };

// Waits until `fd` is readable, or only for the time when `fd` is -1.
// `milliseconds` may be win::INFINITE. Throws ThreadTerminated when the
// calling thread is being terminated.
WaitOutcome WaitReadable(int fd, win::DWORD milliseconds);

}  // namespace sim

#include "platform/sim/process/waiting.h"

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <climits>

namespace sim {
namespace {

thread_local int t_terminationEvent = -1;

}  // namespace

int PollTimeout(bool forever, std::chrono::steady_clock::time_point deadline) {
    if (forever) return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return 0;
    return left.count() > INT_MAX ? INT_MAX : static_cast<int>(left.count());
}

void SetTerminationEventOfThisThread(int eventFd) { t_terminationEvent = eventFd; }

WaitOutcome WaitReadable(int fd, win::DWORD milliseconds) {
    const bool forever = milliseconds == win::INFINITE;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    pollfd fds[2];
    nfds_t count = 0;
    int objectIndex = -1;
    int terminationIndex = -1;
    if (fd >= 0) {
        objectIndex = static_cast<int>(count);
        fds[count++] = {fd, POLLIN, 0};
    }
    if (t_terminationEvent >= 0) {
        terminationIndex = static_cast<int>(count);
        fds[count++] = {t_terminationEvent, POLLIN, 0};
    }
    for (;;) {
        const int timeout = PollTimeout(forever, deadline);
        const int ready = poll(count ? fds : nullptr, count, timeout);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return WaitOutcome::Failed;
        }
        if (terminationIndex >= 0 && fds[terminationIndex].revents) throw ThreadTerminated();
        if (objectIndex >= 0 && fds[objectIndex].revents) {
            return fds[objectIndex].revents & POLLNVAL ? WaitOutcome::Failed
                                                       : WaitOutcome::Signalled;
        }
        // A deadline far beyond INT_MAX milliseconds takes several polls.
        if (ready == 0 && PollTimeout(forever, deadline) == 0) return WaitOutcome::TimedOut;
    }
}

}  // namespace sim

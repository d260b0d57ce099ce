// Threads of the simulated machine: std::thread underneath, with an end
// event to wait on and a termination event that TerminateThread sets.
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>

#include "platform/process.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/process/waiting.h"
#include "platform/sim/unique_fd.h"

namespace sim {
namespace {

constexpr win::DWORD CREATE_SUSPENDED = 0x4;

// Windows 95, 98 and Me fail CreateThread whose thread-id pointer is null.
bool RefusesNullThreadId() { return Machine::Get().Number("Version", "PlatformId", 2) == 1; }

// Test hook: MIRTEL_CREATE_THREAD_FAILS=1 makes every CreateThread of the
// process fail, as on a machine out of memory for another thread.
bool ThreadsFail() {
    const char *fails = std::getenv("MIRTEL_CREATE_THREAD_FAILS");
    return fails && std::strcmp(fails, "1") == 0;
}

void Signal(int eventFd) {
    const std::uint64_t one = 1;
    // An eventfd counter cannot overflow from a handful of signals.
    if (write(eventFd, &one, sizeof one) != sizeof one) std::perror("mirtel: eventfd write");
}

// What the thread and its handle share; it outlives whichever goes first.
struct ThreadEvents {
    UniqueFd ended{eventfd(0, EFD_CLOEXEC)};
    UniqueFd terminate{eventfd(0, EFD_CLOEXEC)};
};

void RunThread(std::shared_ptr<ThreadEvents> events, win::LPTHREAD_START_ROUTINE start,
               void *parameter, std::promise<pid_t> *started) {
    started->set_value(gettid());
    SetTerminationEventOfThisThread(events->terminate.Get());
    try {
        start(parameter);
    } catch (const ThreadTerminated &) {
        // TerminateThread woke the thread in one of its waits.
    }
    Signal(events->ended.Get());
}

class ThreadObject : public WaitableObject {
public:
    ThreadObject(std::shared_ptr<ThreadEvents> events, std::thread thread)
        : m_events(std::move(events)), m_thread(std::move(thread)) {}
    // Closing a thread's handle does not end the thread, as on Windows.
    ~ThreadObject() override {
        if (m_thread.joinable()) m_thread.detach();
    }
    int SignalFd() const override { return m_events->ended.Get(); }

    bool IsCallingThread() const { return m_thread.get_id() == std::this_thread::get_id(); }
    // Wakes the thread's wait with ThreadTerminated and waits until it is gone.
    void Terminate() {
        Signal(m_events->terminate.Get());
        std::lock_guard<std::mutex> guard(m_joinLock);
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::shared_ptr<ThreadEvents> m_events;
    std::mutex m_joinLock;
    std::thread m_thread;
};

}  // namespace
}  // namespace sim

namespace win {

HANDLE CreateThread(void *, std::size_t, LPTHREAD_START_ROUTINE start, void *parameter,
                    DWORD creationFlags, DWORD *threadId) {
    // Nothing in the program starts a thread suspended; refuse it rather
    // than start one running.
    if (!start || (creationFlags & sim::CREATE_SUSPENDED) || (!threadId && sim::RefusesNullThreadId())) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (sim::ThreadsFail()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto events = std::make_shared<sim::ThreadEvents>();
    if (!events->ended || !events->terminate) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::promise<pid_t> started;
    std::thread thread;
    try {
        thread = std::thread(sim::RunThread, events, start, parameter, &started);
    } catch (const std::system_error &error) {
        std::fprintf(stderr, "mirtel: cannot start a thread: %s\n", error.what());
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const pid_t id = started.get_future().get();
    if (threadId) *threadId = static_cast<DWORD>(id);
    return sim::NewHandle(std::make_shared<sim::ThreadObject>(events, std::move(thread)));
}

BOOL TerminateThread(HANDLE thread, DWORD) {
    auto object = sim::LookupHandle<sim::ThreadObject>(thread);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // A thread cannot wait for its own end.
    if (object->IsCallingThread()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    object->Terminate();
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    auto object = sim::LookupHandle<sim::WaitableObject>(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    switch (sim::WaitReadable(object->SignalFd(), milliseconds)) {
    case sim::WaitOutcome::Signalled:
        return WAIT_OBJECT_0;
    case sim::WaitOutcome::TimedOut:
        return WAIT_TIMEOUT;
    case sim::WaitOutcome::Failed:
        break;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
}

void Sleep(DWORD milliseconds) { sim::WaitReadable(-1, milliseconds); }

}  // namespace win

// Posting and receiving window messages. A post to a window of another
// program cannot reach it; it is recorded in the transcript instead.
#include "platform/sim/ui/message_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/process.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/transcript.h"
#include "platform/sim/process/waiting.h"
#include "platform/sim/ui/window_table.h"
#include "platform/sim/unique_fd.h"

namespace sim {
namespace {

struct Queue {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<win::MSG> posted;
    bool quit = false;
    int quitCode = 0;
    // Readable after a post, for MsgWaitForMultipleObjects, which waits for
    // kernel objects and the queue at once.
    UniqueFd arrived{eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)};

    // Under `lock`, after the queue changed.
    void Changed() {
        const std::uint64_t one = 1;
        if (arrived && write(arrived.Get(), &one, sizeof one) != sizeof one) {
            // The counter cannot overflow from posts; nothing to recover.
        }
        changed.notify_all();
    }
};

Queue &TheQueue() {
    static Queue queue;
    return queue;
}

win::DWORD TickCount() {
    return static_cast<win::DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch())
                                       .count());
}

bool IsSelfOrDescendant(win::HWND window, win::HWND ancestor) {
    Window current;
    while (window && window != ancestor && GetWindow(window, &current) && !current.IsTopLevel())
        window = current.parent;
    return window == ancestor;
}

bool Wanted(const win::MSG &msg, win::HWND window, win::UINT filterMin, win::UINT filterMax) {
    if (window && !IsSelfOrDescendant(msg.hwnd, window)) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

void RecordPost(win::HWND window, win::UINT message, win::WPARAM wParam, win::LPARAM lParam,
                bool posted) {
    AppendTranscript("{\"event\":\"post\",\"hwnd\":" + JsonHex(reinterpret_cast<std::uintptr_t>(window)) +
                     ",\"msg\":" + JsonHex(message) + ",\"wparam\":" + JsonHex(wParam) +
                     ",\"lparam\":" + JsonHex(static_cast<std::uintptr_t>(lParam)) +
                     ",\"result\":" + (posted ? "1" : "0") + "}");
}

// Takes (or with `remove` false, copies) the first posted message that
// passes the filters, else WM_QUIT once PostQuitMessage asked for it
// (whatever the filters). Under the queue's lock.
bool TakeMessage(Queue &queue, win::MSG *msg, win::HWND window, win::UINT filterMin, win::UINT filterMax,
                 bool remove) {
    for (auto posted = queue.posted.begin(); posted != queue.posted.end(); ++posted) {
        if (!Wanted(*posted, window, filterMin, filterMax)) continue;
        *msg = *posted;
        if (remove) queue.posted.erase(posted);
        return true;
    }
    if (!queue.quit) return false;
    if (remove) queue.quit = false;
    *msg = win::MSG{nullptr, win::WM_QUIT, static_cast<win::WPARAM>(queue.quitCode), 0, TickCount(), {0, 0}};
    return true;
}

// The wake-mask bits the machine's Windows knows: QS_KEY to
// QS_ALLPOSTMESSAGE on every version, QS_RAWINPUT from XP (NT 5.1) on.
win::DWORD KnownWakeBits() {
    const Machine &machine = Machine::Get();
    const bool ntFamily = machine.Number("Version", "PlatformId", 2) == 2;
    const long major = machine.Number("Version", "MajorVersion", 5);
    const long minor = machine.Number("Version", "MinorVersion", 1);
    const bool fromXp = ntFamily && (major > 5 || (major == 5 && minor >= 1));
    return fromXp ? 0x05FF : 0x01FF;
}

}  // namespace

void DiscardMessagesFor(win::HWND window) {
    Queue &queue = TheQueue();
    std::lock_guard<std::mutex> guard(queue.lock);
    for (auto msg = queue.posted.begin(); msg != queue.posted.end();)
        msg = msg->hwnd == window ? queue.posted.erase(msg) : msg + 1;
}

}  // namespace sim

namespace win {

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (sim::GetWindow(window, nullptr)) {
        sim::Queue &queue = sim::TheQueue();
        std::lock_guard<std::mutex> guard(queue.lock);
        queue.posted.push_back(MSG{window, message, wParam, lParam, sim::TickCount(), {0, 0}});
        queue.Changed();
        return TRUE;
    }
    // A window of this program that is gone is no other program's window.
    if (sim::IsOwnWindowHandle(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const bool posted = window != nullptr;
    sim::RecordPost(window, message, wParam, lParam, posted);
    if (!posted) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return posted;
}

// Runs the window's procedure on the calling thread: the program sends
// only from the thread that owns its windows.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!sim::GetWindow(window, nullptr)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return sim::CallWindow(window, message, wParam, lParam);
}

// The first posted message that passes the filters, else WM_QUIT once
// PostQuitMessage asked for it (whatever the filters), else wait.
BOOL GetMessageA(MSG *msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg || (window && !sim::GetWindow(window, nullptr))) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    sim::Queue &queue = sim::TheQueue();
    std::unique_lock<std::mutex> guard(queue.lock);
    while (!sim::TakeMessage(queue, msg, window, filterMin, filterMax, true)) queue.changed.wait(guard);
    return msg->message != WM_QUIT;
}

BOOL PeekMessageA(MSG *msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    if (!msg || (window && !sim::GetWindow(window, nullptr))) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    sim::Queue &queue = sim::TheQueue();
    std::lock_guard<std::mutex> guard(queue.lock);
    return sim::TakeMessage(queue, msg, window, filterMin, filterMax, (removeMessage & PM_REMOVE) != 0);
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask) {
    // The program waits for any one object; waiting for all of them and
    // the input together is not simulated.
    if (waitAll || (count > 0 && !handles) || (wakeMask & ~sim::KnownWakeBits()) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<pollfd> fds;
    for (DWORD i = 0; i < count; ++i) {
        auto object = sim::LookupHandle<sim::WaitableObject>(handles[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        fds.push_back({object->SignalFd(), POLLIN, 0});
    }
    sim::Queue &queue = sim::TheQueue();
    fds.push_back({queue.arrived.Get(), POLLIN, 0});
    const bool forever = milliseconds == INFINITE;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (bool first = true;; first = false) {
        // Objects first, with the lowest index, then the queue: the order
        // Windows reports them in.
        const int timeout = first ? 0 : sim::PollTimeout(forever, deadline);
        const int ready = poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno != EINTR) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        for (DWORD i = 0; ready > 0 && i < count; ++i) {
            if (fds[i].revents & POLLNVAL) {
                SetLastError(ERROR_INVALID_HANDLE);
                return WAIT_FAILED;
            }
            if (fds[i].revents) return WAIT_OBJECT_0 + i;
        }
        std::uint64_t posts = 0;
        if (read(queue.arrived.Get(), &posts, sizeof posts) < 0 && errno != EAGAIN) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        {
            std::lock_guard<std::mutex> guard(queue.lock);
            if (wakeMask != 0 && (!queue.posted.empty() || queue.quit)) return WAIT_OBJECT_0 + count;
        }
        if (!first && ready == 0 && sim::PollTimeout(forever, deadline) == 0) return WAIT_TIMEOUT;
    }
}

// No keyboard reaches the simulated windows, so there is nothing to
// translate.
BOOL TranslateMessage(const MSG *) { return FALSE; }

LRESULT DispatchMessageA(const MSG *msg) {
    if (!msg || !msg->hwnd) return 0;
    return sim::CallWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
    sim::Queue &queue = sim::TheQueue();
    std::lock_guard<std::mutex> guard(queue.lock);
    queue.quit = true;
    queue.quitCode = exitCode;
    queue.Changed();
}

}  // namespace win

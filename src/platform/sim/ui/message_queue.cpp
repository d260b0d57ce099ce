// Posting and receiving window messages. A post to a window of another
// program cannot reach it; it is recorded in the transcript instead.
#include "platform/sim/ui/message_queue.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/sim/machine/transcript.h"
#include "platform/sim/ui/window_table.h"

namespace sim {
namespace {

struct Queue {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<win::MSG> posted;
    bool quit = false;
    int quitCode = 0;
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
        {
            std::lock_guard<std::mutex> guard(queue.lock);
            queue.posted.push_back(MSG{window, message, wParam, lParam, sim::TickCount(), {0, 0}});
        }
        queue.changed.notify_all();
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
    for (;;) {
        for (auto posted = queue.posted.begin(); posted != queue.posted.end(); ++posted) {
            if (!sim::Wanted(*posted, window, filterMin, filterMax)) continue;
            *msg = *posted;
            queue.posted.erase(posted);
            return msg->message != WM_QUIT;
        }
        if (queue.quit) {
            queue.quit = false;
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, sim::TickCount(), {0, 0}};
            return FALSE;
        }
        queue.changed.wait(guard);
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
    {
        std::lock_guard<std::mutex> guard(queue.lock);
        queue.quit = true;
        queue.quitCode = exitCode;
    }
    queue.changed.notify_all();
}

}  // namespace win

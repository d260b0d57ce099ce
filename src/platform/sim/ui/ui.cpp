// ui/: windows and messages of the simulated machine: the program's own
// windows and their message queue, other programs' windows, message boxes,
// menus, icons and dialogs. It rests on standard error and standard input
// for message boxes, the transcript for what other programs would see, and
// windows.d of the machine folder for the windows of the programs running
// on the machine.
//
// Windows of the simulated machine: the program's own windows live in the
// window table and get their messages from their procedures as on Windows;
// nothing is drawn. Windows of other programs are known by handle and
// title only (machine_windows.h).
#include <strings.h>

#include <algorithm>
#include <atomic>
#include <utility>

#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/transcript.h"
#include "platform/sim/ui/machine_windows.h"
#include "platform/sim/ui/message_queue.h"
#include "platform/sim/ui/window_table.h"
#include "platform/ui.h"

namespace sim {
namespace {

constexpr win::DWORD ERROR_TLW_WITH_WSCHILD = 1406;
constexpr win::DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr win::DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr win::DWORD ERROR_INVALID_INDEX = 1413;
constexpr win::DWORD WS_MINIMIZE = 0x20000000;

bool FailWindow() {
    win::SetLastError(win::ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

// CW_USEDEFAULT places a top-level window at the usual cascade position
// with three quarters of the screen; a child gets nothing.
void ApplyDefaultGeometry(Window &window, int x, int y, int width, int height) {
    const bool topLevel = window.IsTopLevel();
    const bool defaultPlace = x == win::CW_USEDEFAULT;
    window.x = defaultPlace ? (topLevel ? 26 : 0) : x;
    window.y = defaultPlace ? (topLevel ? 26 : 0) : y;
    if (width == win::CW_USEDEFAULT) {
        const Machine &machine = Machine::Get();
        window.width = topLevel ? static_cast<int>(machine.Number("System", "ScreenWidth", 1024) * 3 / 4) : 0;
        window.height = topLevel ? static_cast<int>(machine.Number("System", "ScreenHeight", 768) * 3 / 4) : 0;
    } else {
        window.width = width;
        window.height = height;
    }
}

// Windows' order: WM_DESTROY goes to the window and then down to its
// children; WM_NCDESTROY comes back up, children first.
void SendDestroy(win::HWND handle) {
    ChangeWindow(handle, [](Window &window) { window.destroying = true; });
    CallWindow(handle, win::WM_DESTROY, 0, 0);
    for (win::HWND child : ChildWindows(handle)) SendDestroy(child);
}

void FinishDestroy(win::HWND handle) {
    for (win::HWND child : ChildWindows(handle)) FinishDestroy(child);
    CallWindow(handle, win::WM_NCDESTROY, 0, 0);
    RemoveWindow(handle);
    DiscardMessagesFor(handle);
}

bool TitleMatches(const std::string &title, const char *wanted) {
    return !wanted || strcasecmp(title.c_str(), wanted) == 0;
}

bool ClassMatches(const std::string &className, const char *wanted) {
    if (!wanted) return true;
    if (reinterpret_cast<std::uintptr_t>(wanted) < 0x10000) {
        WindowClass windowClass;
        return FindWindowClass(wanted, &windowClass) &&
               strcasecmp(windowClass.name.c_str(), className.c_str()) == 0;
    }
    return strcasecmp(className.c_str(), wanted) == 0;
}

void DestroyOwnWindow(win::HWND handle) {
    Window window;
    if (!GetWindow(handle, &window) || window.destroying) return;
    SendDestroy(handle);
    FinishDestroy(handle);
    if (window.IsTopLevel()) PublishOwnWindows();
}

}  // namespace
}  // namespace sim

namespace win {

void InitCommonControls() {}

WORD RegisterClassA(const WNDCLASSA *windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WORD atom = 0;
    if (!sim::AddWindowClass(*windowClass, &atom)) {
        SetLastError(sim::ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    return atom;
}

HWND CreateWindowExA(DWORD exStyle, const char *className, const char *windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE instance, void *param) {
    sim::WindowClass windowClass;
    if (!className || !sim::FindWindowClass(className, &windowClass)) {
        SetLastError(sim::ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    sim::Window window;
    window.className = windowClass.name;
    window.windowProc = windowClass.windowProc;
    window.style = style;
    window.exStyle = exStyle;
    window.parent = parent;
    window.text = windowName ? windowName : "";
    window.visible = (style & WS_VISIBLE) != 0;
    window.iconic = (style & sim::WS_MINIMIZE) != 0;
    if ((style & WS_CHILD) && !parent) {
        SetLastError(sim::ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    if ((style & WS_CHILD) && !sim::GetWindow(parent, nullptr)) {
        sim::FailWindow();
        return nullptr;
    }
    sim::ApplyDefaultGeometry(window, x, y, width, height);
    const bool topLevel = window.IsTopLevel();
    HWND handle = sim::AddWindow(std::move(window));
    if (!handle) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }

    sim::Window created;
    sim::GetWindow(handle, &created);
    CREATESTRUCTA cs = {};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cy = created.height;
    cs.cx = created.width;
    cs.y = created.y;
    cs.x = created.x;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    const LPARAM createParam = reinterpret_cast<LPARAM>(&cs);
    // A window refused by WM_NCCREATE or WM_CREATE still gets WM_NCDESTROY,
    // so that an object attached to it can let go.
    if (!sim::CallWindow(handle, WM_NCCREATE, 0, createParam) ||
        sim::CallWindow(handle, WM_CREATE, 0, createParam) == -1) {
        sim::CallWindow(handle, WM_NCDESTROY, 0, 0);
        sim::RemoveWindow(handle);
        return nullptr;
    }
    if (topLevel) sim::PublishOwnWindows();
    return handle;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SETTEXT: {
        const char *text = reinterpret_cast<const char *>(lParam);
        bool topLevel = false;
        if (!sim::ChangeWindow(window, [&](sim::Window &w) {
                w.text = text ? text : "";
                topLevel = w.IsTopLevel();
            }))
            return FALSE;
        if (topLevel) sim::PublishOwnWindows();
        return TRUE;
    }
    default:
        return 0;
    }
}

BOOL DestroyWindow(HWND window) {
    if (!sim::GetWindow(window, nullptr)) return sim::FailWindow();
    sim::DestroyOwnWindow(window);
    return TRUE;
}

// The previous visibility, as ShowWindow answers.
BOOL ShowWindow(HWND window, int command) {
    bool wasVisible = false;
    const bool own = sim::ChangeWindow(window, [&](sim::Window &w) {
        wasVisible = w.visible;
        switch (command) {
        case SW_HIDE:
            w.visible = false;
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
        case 7:  // SW_SHOWMINNOACTIVE
            w.visible = true;
            w.iconic = true;
            break;
        case SW_SHOW:
        case 4:  // SW_SHOWNOACTIVATE
        case 8:  // SW_SHOWNA
            w.visible = true;
            break;
        default:  // normal, maximized, restored: no longer an icon
            w.visible = true;
            w.iconic = false;
            break;
        }
    });
    if (!own) return sim::FailWindow();
    return wasVisible;
}

BOOL UpdateWindow(HWND window) {
    return sim::GetWindow(window, nullptr) ? TRUE : sim::FailWindow();
}

// Nonzero when the window was disabled before, as EnableWindow answers.
BOOL EnableWindow(HWND window, BOOL enable) {
    bool wasDisabled = false;
    if (!sim::ChangeWindow(window, [&](sim::Window &w) {
            wasDisabled = !w.enabled;
            w.enabled = enable != FALSE;
        }))
        return sim::FailWindow();
    return wasDisabled;
}

BOOL IsWindow(HWND window) {
    sim::OtherWindow other;
    return window && (sim::GetWindow(window, nullptr) || sim::FindOtherWindow(window, &other));
}

BOOL IsWindowEnabled(HWND window) {
    sim::Window w;
    return sim::GetWindow(window, &w) ? w.enabled : sim::FailWindow();
}

BOOL IsIconic(HWND window) {
    sim::Window w;
    return sim::GetWindow(window, &w) && w.iconic;
}

// Screen coordinates: a child's place is relative to its parent's. A
// minimized window keeps its restored place here.
BOOL GetWindowRect(HWND window, RECT *rect) {
    sim::Window w;
    if (!rect || !sim::GetWindow(window, &w)) return sim::FailWindow();
    LONG left = w.x;
    LONG top = w.y;
    sim::Window parent = w;
    while (!parent.IsTopLevel() && sim::GetWindow(parent.parent, &parent)) {
        left += parent.x;
        top += parent.y;
    }
    *rect = {left, top, left + w.width, top + w.height};
    return TRUE;
}

BOOL SetWindowTextA(HWND window, const char *text) {
    if (!sim::GetWindow(window, nullptr)) return sim::FailWindow();
    return static_cast<BOOL>(sim::CallWindow(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextA(HWND window, char *buffer, int size) {
    std::string text;
    sim::Window own;
    sim::OtherWindow other;
    if (sim::GetWindow(window, &own)) {
        text = own.text;
    } else if (sim::FindOtherWindow(window, &other)) {
        text = other.title;
    } else {
        sim::FailWindow();
        if (buffer && size > 0) buffer[0] = '\0';
        return 0;
    }
    if (!buffer || size <= 0) return 0;
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
    text.copy(buffer, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

std::intptr_t SetWindowLongPtrA(HWND window, int index, std::intptr_t value) {
    if (index != GWLP_USERDATA) {
        SetLastError(sim::ERROR_INVALID_INDEX);
        return 0;
    }
    std::intptr_t previous = 0;
    if (!sim::ChangeWindow(window, [&](sim::Window &w) { previous = std::exchange(w.userData, value); }))
        return sim::FailWindow();
    return previous;
}

std::intptr_t GetWindowLongPtrA(HWND window, int index) {
    if (index != GWLP_USERDATA) {
        SetLastError(sim::ERROR_INVALID_INDEX);
        return 0;
    }
    sim::Window w;
    return sim::GetWindow(window, &w) ? w.userData : sim::FailWindow();
}

// The program's own top-level windows first, then those of other programs.
HWND FindWindowA(const char *className, const char *windowName) {
    for (const sim::Window &own : sim::TopLevelWindows())
        if (sim::ClassMatches(own.className, className) && sim::TitleMatches(own.text, windowName))
            return own.handle;
    for (const sim::OtherWindow &other : sim::OtherProgramsWindows())
        if (sim::ClassMatches(other.className, className) && sim::TitleMatches(other.title, windowName))
            return other.handle;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
}

// Bringing another program's window to the front is what the transcript
// records; the program's own windows have no front to come to.
BOOL SetForegroundWindow(HWND window) {
    if (sim::GetWindow(window, nullptr)) return TRUE;
    if (!IsWindow(window)) return sim::FailWindow();
    sim::AppendTranscript("{\"event\":\"foreground\",\"hwnd\":" +
                          sim::JsonHex(reinterpret_cast<std::uintptr_t>(window)) + "}");
    return TRUE;
}

// Only a window of the calling program can be made active; for any other
// the call does nothing and answers null, as on Windows.
HWND SetActiveWindow(HWND window) {
    static std::atomic<HWND> active{nullptr};
    if (!sim::GetWindow(window, nullptr)) {
        sim::FailWindow();
        return nullptr;
    }
    return active.exchange(window);
}

}  // namespace win

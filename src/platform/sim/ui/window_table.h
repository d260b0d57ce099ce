// The program's own windows and window classes.
//
// Handles of own windows are 0x40000000 | (pid & 0x3FFFFF) << 8 | n with n
// from 1 to 255: distinct between the programs running on one machine (a
// Linux pid has at most 22 bits), and clear of the small values machine.ini
// [Windows] gives other programs' windows (0x00020040 and the like). Menus
// and icons have handles of their own ranges (resources.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace sim {

struct Window {
    win::HWND handle = nullptr;
    std::string className;
    win::WNDPROC windowProc = nullptr;  // null for a dialog
    win::DLGPROC dialogProc = nullptr;  // set for a dialog only
    win::HWND parent = nullptr;         // parent of a child, owner of a top-level window
    win::DWORD style = 0;
    win::DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;  // relative to the parent for a child
    std::string text;
    bool visible = false;
    bool iconic = false;
    bool enabled = true;
    bool destroying = false;
    std::intptr_t userData = 0;
    bool dialogEnded = false;
    std::intptr_t dialogResult = 0;

    bool IsTopLevel() const { return (style & win::WS_CHILD) == 0; }
};

struct WindowClass {
    std::string name;
    win::WNDPROC windowProc = nullptr;
    win::HICON icon = nullptr;
    win::WORD atom = 0;
};

// Adds a window and gives it its handle; null when this process has 255
// windows already.
win::HWND AddWindow(Window window);
void RemoveWindow(win::HWND handle);
// A copy of the window's state (when `window` is not null); false when
// `handle` is no window of ours.
bool GetWindow(win::HWND handle, Window *window);
// Changes the window's state under the table's lock; false when `handle`
// is no window of ours. `change` must not call back into the table.
bool ChangeWindow(win::HWND handle, const std::function<void(Window &)> &change);
std::vector<win::HWND> ChildWindows(win::HWND parent);
std::vector<Window> TopLevelWindows();
// True for handles of this process's window range, alive or not.
bool IsOwnWindowHandle(win::HWND handle);

// The window's procedure with the message, outside the table's lock;
// 0 when the window is gone.
win::LRESULT CallWindow(win::HWND handle, win::UINT message, win::WPARAM wParam, win::LPARAM lParam);

// False when a class of that name exists already.
bool AddWindowClass(const win::WNDCLASSA &windowClass, win::WORD *atom);
// By name (without regard to case) or by atom (MakeIntResource).
bool FindWindowClass(const char *nameOrAtom, WindowClass *windowClass);

}  // namespace sim

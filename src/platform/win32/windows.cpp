// Windows: classes, creation, state and finding other programs' windows.
#include "platform/ui.h"
#include "platform/win32/native.h"

namespace win {
namespace {

::HWND Native(HWND window) { return reinterpret_cast<::HWND>(window); }
HWND Ours(::HWND window) { return reinterpret_cast<HWND>(window); }

}  // namespace

WORD RegisterClassA(const WNDCLASSA *windowClass) {
    return ::RegisterClassA(reinterpret_cast<const ::WNDCLASSA *>(windowClass));
}

HWND CreateWindowExA(DWORD exStyle, const char *className, const char *windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE instance, void *param) {
    return Ours(::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height,
                                  Native(parent), reinterpret_cast<::HMENU>(menu),
                                  reinterpret_cast<::HINSTANCE>(instance), param));
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(Native(window), message, wParam, lParam);
}

BOOL DestroyWindow(HWND window) { return ::DestroyWindow(Native(window)); }

BOOL ShowWindow(HWND window, int command) { return ::ShowWindow(Native(window), command); }

BOOL UpdateWindow(HWND window) { return ::UpdateWindow(Native(window)); }

BOOL EnableWindow(HWND window, BOOL enable) { return ::EnableWindow(Native(window), enable); }

BOOL IsWindow(HWND window) { return ::IsWindow(Native(window)); }

BOOL IsWindowEnabled(HWND window) { return ::IsWindowEnabled(Native(window)); }

BOOL IsIconic(HWND window) { return ::IsIconic(Native(window)); }

BOOL GetWindowRect(HWND window, RECT *rect) {
    return ::GetWindowRect(Native(window), reinterpret_cast<::LPRECT>(rect));
}

BOOL SetWindowTextA(HWND window, const char *text) { return ::SetWindowTextA(Native(window), text); }

int GetWindowTextA(HWND window, char *buffer, int size) {
    return ::GetWindowTextA(Native(window), buffer, size);
}

std::intptr_t SetWindowLongPtrA(HWND window, int index, std::intptr_t value) {
    return win32::SetWindowLongPtr(Native(window), index, value);
}

std::intptr_t GetWindowLongPtrA(HWND window, int index) {
    return win32::GetWindowLongPtr(Native(window), index);
}

HWND FindWindowA(const char *className, const char *windowName) {
    return Ours(::FindWindowA(className, windowName));
}

BOOL SetForegroundWindow(HWND window) { return ::SetForegroundWindow(Native(window)); }

HWND SetActiveWindow(HWND window) { return Ours(::SetActiveWindow(Native(window))); }

}  // namespace win

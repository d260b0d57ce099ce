// Window messages and message boxes.
#include "platform/ui.h"
#include "platform/win32/native.h"

namespace win {
namespace {

::HWND Native(HWND window) { return reinterpret_cast<::HWND>(window); }

}  // namespace

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(Native(window), message, wParam, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(Native(window), message, wParam, lParam);
}

BOOL GetMessageA(MSG *msg, HWND window, UINT filterMin, UINT filterMax) {
    return ::GetMessageA(reinterpret_cast<::LPMSG>(msg), Native(window), filterMin, filterMax);
}

BOOL PeekMessageA(MSG *msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    return ::PeekMessageA(reinterpret_cast<::LPMSG>(msg), Native(window), filterMin, filterMax, removeMessage);
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask) {
    return ::MsgWaitForMultipleObjects(count, reinterpret_cast<const ::HANDLE *>(handles), waitAll,
                                       milliseconds, wakeMask);
}

BOOL TranslateMessage(const MSG *msg) {
    return ::TranslateMessage(reinterpret_cast<const ::MSG *>(msg));
}

LRESULT DispatchMessageA(const MSG *msg) {
    return ::DispatchMessageA(reinterpret_cast<const ::MSG *>(msg));
}

void PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

int MessageBoxA(HWND owner, const char *text, const char *caption, UINT type) {
    return ::MessageBoxA(Native(owner), text, caption, type);
}

}  // namespace win

// Windows, messages, message boxes and dialogs: the user32 / comctl32 calls
// the framework and the program make.
#pragma once

#include "platform/types.h"

namespace win {

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_USER = 0x0400;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

constexpr int GWLP_USERDATA = -21;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
// Every kind of input as Windows 95 to 2000 know it. Headers for XP and
// later add QS_RAWINPUT (0x0400) to QS_ALLINPUT, and the systems before XP
// refuse such a mask with ERROR_INVALID_PARAMETER.
constexpr DWORD QS_ALLINPUT = 0x00FF;

typedef LRESULT(MIRTEL_STDCALL *WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef std::intptr_t(MIRTEL_STDCALL *DLGPROC)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
    LONG x;
    LONG y;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char *lpszMenuName;
    const char *lpszClassName;
};
struct CREATESTRUCTA {
    void *lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    const char *lpszName;
    const char *lpszClass;
    DWORD dwExStyle;
};

// A resource identifier given as a number, as MAKEINTRESOURCE does.
inline const char *MakeIntResource(unsigned id) {
    return reinterpret_cast<const char *>(static_cast<std::uintptr_t>(id));
}

void InitCommonControls();
WORD RegisterClassA(const WNDCLASSA *windowClass);
HWND CreateWindowExA(DWORD exStyle, const char *className, const char *windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE instance, void *param);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL DestroyWindow(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindow(HWND window);
BOOL IsWindowEnabled(HWND window);
BOOL IsIconic(HWND window);
BOOL GetWindowRect(HWND window, RECT *rect);
BOOL SetWindowTextA(HWND window, const char *text);
int GetWindowTextA(HWND window, char *buffer, int size);
std::intptr_t SetWindowLongPtrA(HWND window, int index, std::intptr_t value);
std::intptr_t GetWindowLongPtrA(HWND window, int index);
HWND FindWindowA(const char *className, const char *windowName);
BOOL SetForegroundWindow(HWND window);
HWND SetActiveWindow(HWND window);

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL GetMessageA(MSG *msg, HWND window, UINT filterMin, UINT filterMax);
BOOL PeekMessageA(MSG *msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage);
// WAIT_OBJECT_0 + i for the first signalled handle, WAIT_OBJECT_0 + count
// when input of `wakeMask` is in the queue, WAIT_TIMEOUT or WAIT_FAILED.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask);
BOOL TranslateMessage(const MSG *msg);
LRESULT DispatchMessageA(const MSG *msg);
void PostQuitMessage(int exitCode);

int MessageBoxA(HWND owner, const char *text, const char *caption, UINT type);

HMENU LoadMenuA(HINSTANCE instance, const char *name);
BOOL DestroyMenu(HMENU menu);
HICON LoadIconA(HINSTANCE instance, const char *name);
std::intptr_t DialogBoxParamA(HINSTANCE instance, const char *templateName, HWND owner,
                              DLGPROC dialogProc, LPARAM initParam);
BOOL EndDialog(HWND dialog, std::intptr_t result);

}  // namespace win

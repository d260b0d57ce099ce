// The program's menu, icon and dialog resources.
#include "platform/ui.h"
#include "platform/win32/native.h"

namespace win {
namespace {

::HINSTANCE Native(HINSTANCE instance) { return reinterpret_cast<::HINSTANCE>(instance); }

}  // namespace

HMENU LoadMenuA(HINSTANCE instance, const char *name) {
    return reinterpret_cast<HMENU>(::LoadMenuA(Native(instance), name));
}

BOOL DestroyMenu(HMENU menu) { return ::DestroyMenu(reinterpret_cast<::HMENU>(menu)); }

HICON LoadIconA(HINSTANCE instance, const char *name) {
    return reinterpret_cast<HICON>(::LoadIconA(Native(instance), name));
}

std::intptr_t DialogBoxParamA(HINSTANCE instance, const char *templateName, HWND owner,
                              DLGPROC dialogProc, LPARAM initParam) {
    return ::DialogBoxParamA(Native(instance), templateName, reinterpret_cast<::HWND>(owner),
                             win32::FunctionCast<::DLGPROC>(dialogProc), initParam);
}

BOOL EndDialog(HWND dialog, std::intptr_t result) {
    return ::EndDialog(reinterpret_cast<::HWND>(dialog), result);
}

}  // namespace win

// Menus, icons and dialogs of the simulated machine. Nothing is shown:
// menus and icons are handles without contents, and a modal dialog is
// recorded, initialised and answered with OK at once.
//
// Menu handles are 0x00C00000 + n, icon handles 0x00A10000 + the icon's
// resource number.
#include <mutex>
#include <set>

#include "platform/library.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/transcript.h"
#include "platform/sim/text/codepage.h"
#include "platform/sim/ui/window_table.h"
#include "platform/ui.h"
#include "res/resource.h"

namespace sim {
namespace {

constexpr win::DWORD ERROR_INVALID_MENU_HANDLE = 1401;
constexpr win::DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr std::uintptr_t kFirstMenu = 0x00C00000;
constexpr std::uintptr_t kIconBase = 0x00A10000;
constexpr win::DWORD WS_POPUP = 0x80000000;

struct Menus {
    std::mutex lock;
    std::set<win::HMENU> loaded;
    std::uintptr_t next = kFirstMenu;
};

Menus &TheMenus() {
    static Menus menus;
    return menus;
}

bool IsResourceNumber(const char *name) { return reinterpret_cast<std::uintptr_t>(name) < 0x10000; }

// IDI_APPLICATION (32512) to IDI_SHIELD (32518).
bool IsSystemIcon(std::uintptr_t number) { return number >= 32512 && number <= 32518; }

}  // namespace
}  // namespace sim

namespace win {

HMENU LoadMenuA(HINSTANCE, const char *) {
    sim::Menus &menus = sim::TheMenus();
    std::lock_guard<std::mutex> guard(menus.lock);
    HMENU menu = reinterpret_cast<HMENU>(++menus.next);
    menus.loaded.insert(menu);
    return menu;
}

BOOL DestroyMenu(HMENU menu) {
    sim::Menus &menus = sim::TheMenus();
    std::lock_guard<std::mutex> guard(menus.lock);
    if (menus.loaded.erase(menu)) return TRUE;
    SetLastError(sim::ERROR_INVALID_MENU_HANDLE);
    return FALSE;
}

// A null module finds only the system's icons (IDI_APPLICATION ...), the
// program's module only its own; libraries have no icons.
HICON LoadIconA(HINSTANCE instance, const char *name) {
    const std::uintptr_t number = sim::IsResourceNumber(name) ? reinterpret_cast<std::uintptr_t>(name) : 0;
    DWORD error = NO_ERROR;
    if (instance == nullptr) {
        if (!sim::IsSystemIcon(number)) error = sim::ERROR_RESOURCE_TYPE_NOT_FOUND;
    } else if (instance == GetModuleHandleA(nullptr)) {
        if (number != IDR_MAINFRAME) error = ERROR_RESOURCE_NAME_NOT_FOUND;
    } else {
        error = sim::ERROR_RESOURCE_TYPE_NOT_FOUND;
    }
    if (error != NO_ERROR) {
        SetLastError(error);
        return nullptr;
    }
    return reinterpret_cast<HICON>(sim::kIconBase + number);
}

std::intptr_t DialogBoxParamA(HINSTANCE, const char *templateName, HWND owner, DLGPROC dialogProc,
                              LPARAM initParam) {
    const std::string id = sim::IsResourceNumber(templateName)
                               ? sim::JsonHex(reinterpret_cast<std::uintptr_t>(templateName))
                               : sim::JsonString(sim::AnsiToUtf8(templateName, sim::Machine::Get().AnsiCodePage()));
    sim::AppendTranscript("{\"event\":\"dialog\",\"id\":" + id + "}");
    sim::Window window;
    window.className = "#32770";
    window.dialogProc = dialogProc;
    window.parent = owner;
    window.style = WS_CAPTION | WS_SYSMENU | sim::WS_POPUP;
    window.visible = true;
    HWND dialog = sim::AddWindow(std::move(window));
    if (!dialog) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    sim::CallWindow(dialog, WM_INITDIALOG, 0, initParam);
    sim::Window ended;
    sim::GetWindow(dialog, &ended);
    DestroyWindow(dialog);
    return ended.dialogEnded ? ended.dialogResult : IDOK;
}

BOOL EndDialog(HWND dialog, std::intptr_t result) {
    bool isDialog = false;
    sim::ChangeWindow(dialog, [&](sim::Window &w) {
        isDialog = w.dialogProc != nullptr;
        if (!isDialog) return;
        w.dialogEnded = true;
        w.dialogResult = result;
    });
    if (!isDialog) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return isDialog;
}

}  // namespace win

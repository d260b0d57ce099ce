#include "platform/sim/ui/window_table.h"

#include <strings.h>
#include <unistd.h>

#include <map>
#include <mutex>

namespace sim {
namespace {

constexpr std::uintptr_t kOwnWindowBase = 0x40000000;
constexpr std::uintptr_t kPidMask = 0x3FFFFF;
constexpr unsigned kWindowsPerProcess = 255;
constexpr win::WORD kFirstClassAtom = 0xC000;

struct Table {
    std::mutex lock;
    std::map<win::HWND, Window> windows;
    std::vector<WindowClass> classes;
    // Handles are given round the 255 numbers, so a handle comes back as
    // late as possible after its window is gone.
    unsigned lastNumber = 0;
};

Table &TheTable() {
    static Table table;
    return table;
}

std::uintptr_t ProcessBits() {
    return kOwnWindowBase | (static_cast<std::uintptr_t>(getpid()) & kPidMask) << 8;
}

win::HWND HandleOf(unsigned number) {
    return reinterpret_cast<win::HWND>(ProcessBits() | number);
}

}  // namespace

win::HWND AddWindow(Window window) {
    Table &table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    for (unsigned tried = 0; tried < kWindowsPerProcess; ++tried) {
        table.lastNumber = table.lastNumber % kWindowsPerProcess + 1;
        const win::HWND handle = HandleOf(table.lastNumber);
        if (table.windows.count(handle)) continue;
        window.handle = handle;
        table.windows.emplace(handle, std::move(window));
        return handle;
    }
    return nullptr;
}

void RemoveWindow(win::HWND handle) {
    Table &table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    table.windows.erase(handle);
}

bool GetWindow(win::HWND handle, Window *window) {
    Table &table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.windows.find(handle);
    if (found == table.windows.end()) return false;
    if (window) *window = found->second;
    return true;
}

bool ChangeWindow(win::HWND handle, const std::function<void(Window &)> &change) {
    Table &table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.windows.find(handle);
    if (found == table.windows.end()) return false;
    change(found->second);
    return true;
}

std::vector<win::HWND> ChildWindows(win::HWND parent) {
    Table &table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    std::vector<win::HWND> children;
    for (const auto &entry : table.windows)
        if (entry.second.parent == parent) children.push_back(entry.first);
    return children;
}

std::vector<Window> TopLevelWindows() {
    Table &table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    std::vector<Window> windows;
    for (const auto &entry : table.windows)
        if (entry.second.IsTopLevel()) windows.push_back(entry.second);
    return windows;
}

bool IsOwnWindowHandle(win::HWND handle) {
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    const unsigned number = value & 0xFF;
    return (value & ~std::uintptr_t(0xFF)) == ProcessBits() && number != 0;
}

win::LRESULT CallWindow(win::HWND handle, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    Window window;
    if (!GetWindow(handle, &window)) return 0;
    if (window.windowProc) return window.windowProc(handle, message, wParam, lParam);
    if (window.dialogProc) return window.dialogProc(handle, message, wParam, lParam);
    return 0;
}

bool AddWindowClass(const win::WNDCLASSA &windowClass, win::WORD *atom) {
    Table &table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    for (const WindowClass &existing : table.classes)
        if (strcasecmp(existing.name.c_str(), windowClass.lpszClassName) == 0) return false;
    WindowClass added;
    added.name = windowClass.lpszClassName;
    added.windowProc = windowClass.lpfnWndProc;
    added.icon = windowClass.hIcon;
    added.atom = static_cast<win::WORD>(kFirstClassAtom + table.classes.size());
    table.classes.push_back(added);
    *atom = added.atom;
    return true;
}

bool FindWindowClass(const char *nameOrAtom, WindowClass *windowClass) {
    const auto value = reinterpret_cast<std::uintptr_t>(nameOrAtom);
    Table &table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    for (const WindowClass &existing : table.classes) {
        const bool matches = value < 0x10000 ? existing.atom == value
                                             : strcasecmp(existing.name.c_str(), nameOrAtom) == 0;
        if (matches) {
            *windowClass = existing;
            return true;
        }
    }
    return false;
}

}  // namespace sim

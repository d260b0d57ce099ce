#include "parent/watcher.h"

#include <cstdio>
#include <vector>

#include "parent/report.h"

namespace {

// The static control that holds a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

// A window's text as UTF-8, read as Unicode: the report then shows what the
// user reads whatever the system's ANSI code page is.
std::string WindowText(HWND window) {
    wchar_t text[4096] = {};
    if (window) GetWindowTextW(window, text, sizeof(text) / sizeof(text[0]));
    char utf8[4 * 4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    return utf8;
}

std::string ClassName(HWND window) {
    char buffer[256] = {};
    GetClassNameA(window, buffer, sizeof(buffer));
    return buffer;
}

struct Search {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto *search = reinterpret_cast<Search *>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

}  // namespace

void Watcher::Scan(int answerUpTo) {
    Search search{m_child.ProcessId(), {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found) {
        if (ClassName(window) == "#32770") {
            SeeBox(window, answerUpTo);
        } else {
            SeeWindow(window);
        }
    }
    // Forget boxes that are gone, so that a later box that happens to get
    // the same handle is seen as new.
    for (auto it = m_boxNumbers.begin(); it != m_boxNumbers.end();) {
        if (IsWindow(it->first)) {
            ++it;
        } else {
            m_answeredBoxes.erase(it->first);
            it = m_boxNumbers.erase(it);
        }
    }
}

void Watcher::SeeBox(HWND box, int answerUpTo) {
    if (m_boxNumbers.emplace(box, m_boxesSeen + 1).second) {
        ++m_boxesSeen;
        Report(m_child.Label(), "box",
               OneLine(WindowText(box)) + "\t" +
                   OneLine(WindowText(GetDlgItem(box, kMessageBoxTextId))));
    }
    if (m_boxNumbers[box] <= answerUpTo && m_answeredBoxes.insert(box).second) {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    }
}

void Watcher::SeeWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    char place[64];
    std::snprintf(place, sizeof(place), "%ld,%ld", rect.left, rect.top);
    std::string state = OneLine(WindowText(window)) + "\t" + place + "\t" +
                        (IsIconic(window) ? "minimized" : "normal") + "\t" +
                        (IsWindowEnabled(window) ? "enabled" : "disabled");
    std::string &last = m_windowStates[window];
    if (last != state) {
        last = state;
        Report(m_child.Label(), "window", state);
    }
}

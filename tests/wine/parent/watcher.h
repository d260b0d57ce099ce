// Watches the top-level windows of one child process: reports each message
// box (class "#32770") once with its caption and text, presses its OK
// button when allowed, and reports every change of the child's other
// visible windows (caption, place, minimized, enabled).
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>

#include "parent/child.h"

class Watcher {
public:
    explicit Watcher(Child &child) : m_child(child) {}
    // Looks at the child's windows now; presses OK on the boxes numbered
    // (from 1, in the order they were seen) up to `answerUpTo`.
    void Scan(int answerUpTo);
    int BoxesSeen() const { return m_boxesSeen; }

private:
    void SeeBox(HWND box, int answerUpTo);
    void SeeWindow(HWND window);

    Child &m_child;
    int m_boxesSeen = 0;
    std::map<HWND, int> m_boxNumbers;
    std::set<HWND> m_answeredBoxes;
    std::map<HWND, std::string> m_windowStates;
};

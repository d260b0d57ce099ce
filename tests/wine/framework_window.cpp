#include "framework_window.h"

#include "framework/afx.h"

struct FrameworkWindow::Window {
    CWnd window;
};

FrameworkWindow::FrameworkWindow() : m_window(std::make_unique<Window>()) {
    m_window->window.CreateEx(0, "framework window", 0, 0, 0, 100, 100, nullptr, nullptr);
}

FrameworkWindow::~FrameworkWindow() { m_window->window.DestroyWindow(); }

void *FrameworkWindow::Handle() const { return m_window->window.m_hWnd; }

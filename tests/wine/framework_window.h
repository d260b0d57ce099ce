// A window of the framework's own class, made in a file of its own: the
// framework's header speaks the program's Win32 vocabulary, which cannot
// meet <windows.h> in one file.
#pragma once

#include <memory>

class FrameworkWindow {
public:
    FrameworkWindow();
    ~FrameworkWindow();
    FrameworkWindow(const FrameworkWindow &) = delete;
    FrameworkWindow &operator=(const FrameworkWindow &) = delete;

    // The window's handle (an HWND), null when it could not be made.
    void *Handle() const;

private:
    struct Window;
    std::unique_ptr<Window> m_window;
};

// One copy of the installer started by the parent: its process, the
// message number it was told to post, and what it posted.
#pragma once

#include <windows.h>

#include <string>

class Child {
public:
    // Starts `commandLine`; false (with the reason on stderr) when it cannot.
    bool Start(const std::string &label, const std::string &commandLine);
    ~Child();

    const std::string &Label() const { return m_label; }
    DWORD ProcessId() const { return m_info.dwProcessId; }
    HANDLE Process() const { return m_info.hProcess; }
    bool Running() const;
    DWORD ExitCode() const;
    void Kill();

    bool m_posted = false;
    WPARAM m_wParam = 0;

private:
    std::string m_label;
    PROCESS_INFORMATION m_info{};
};

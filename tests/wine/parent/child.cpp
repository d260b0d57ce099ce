#include "parent/child.h"

#include <cstdio>
#include <vector>

bool Child::Start(const std::string &label, const std::string &commandLine) {
    m_label = label;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &m_info)) {
        std::fprintf(stderr, "cannot start [%s]: error %lu\n", commandLine.c_str(), GetLastError());
        return false;
    }
    return true;
}

Child::~Child() {
    if (m_info.hThread) CloseHandle(m_info.hThread);
    if (m_info.hProcess) CloseHandle(m_info.hProcess);
}

bool Child::Running() const {
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Child::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

void Child::Kill() {
    if (Running()) TerminateProcess(m_info.hProcess, 99);
}

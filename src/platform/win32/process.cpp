// Processes and threads: the Add Printer Wizard and its waiting worker.
#include "platform/process.h"
#include "platform/win32/native.h"

namespace win {

BOOL CreateProcessA(const char *applicationName, char *commandLine, void *processAttributes,
                    void *threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    void *environment, const char *currentDirectory, STARTUPINFOA *startupInfo,
                    PROCESS_INFORMATION *processInformation) {
    return ::CreateProcessA(applicationName, commandLine,
                            static_cast<::LPSECURITY_ATTRIBUTES>(processAttributes),
                            static_cast<::LPSECURITY_ATTRIBUTES>(threadAttributes), inheritHandles,
                            creationFlags, environment, currentDirectory,
                            reinterpret_cast<::LPSTARTUPINFOA>(startupInfo),
                            reinterpret_cast<::LPPROCESS_INFORMATION>(processInformation));
}

HANDLE CreateThread(void *securityAttributes, std::size_t stackSize, LPTHREAD_START_ROUTINE start,
                    void *parameter, DWORD creationFlags, DWORD *threadId) {
    return reinterpret_cast<HANDLE>(
        ::CreateThread(static_cast<::LPSECURITY_ATTRIBUTES>(securityAttributes), stackSize,
                       win32::FunctionCast<::LPTHREAD_START_ROUTINE>(start), parameter,
                       creationFlags, reinterpret_cast<::LPDWORD>(threadId)));
}

BOOL TerminateThread(HANDLE thread, DWORD exitCode) {
    return ::TerminateThread(reinterpret_cast<::HANDLE>(thread), exitCode);
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return ::WaitForSingleObject(reinterpret_cast<::HANDLE>(handle), milliseconds);
}

void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

}  // namespace win

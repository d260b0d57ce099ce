// Processes and threads: starting the Add Printer Wizard and waiting for it
// on a worker thread.
#pragma once

#include "platform/types.h"

namespace win {

constexpr DWORD NORMAL_PRIORITY_CLASS = 0x20;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

struct STARTUPINFOA {
    DWORD cb;
    char *lpReserved;
    char *lpDesktop;
    char *lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE *lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};

BOOL CreateProcessA(const char *applicationName, char *commandLine, void *processAttributes,
                    void *threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    void *environment, const char *currentDirectory, STARTUPINFOA *startupInfo,
                    PROCESS_INFORMATION *processInformation);

typedef DWORD(MIRTEL_STDCALL *LPTHREAD_START_ROUTINE)(void *parameter);
HANDLE CreateThread(void *securityAttributes, std::size_t stackSize, LPTHREAD_START_ROUTINE start,
                    void *parameter, DWORD creationFlags, DWORD *threadId);
// Ends a thread that is blocked in WaitForSingleObject or Sleep.
BOOL TerminateThread(HANDLE thread, DWORD exitCode);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
void Sleep(DWORD milliseconds);

}  // namespace win

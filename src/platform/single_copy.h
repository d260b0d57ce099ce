// Guards against running copies: the counter shared by the copies of one
// program file (an image's shared data section on Windows), and the named
// machine-wide mutex. Neither outlives the processes that hold it, however
// they ended.
#pragma once

#include "platform/types.h"

namespace win {

// InterlockedIncrement / InterlockedDecrement on the shared counter, which
// is -1 while no copy runs. Return the new value.
LONG IncrementCopyCounter();
LONG DecrementCopyCounter();
// The shared window slot beside the counter.
HWND GetSharedWindowSlot();
void SetSharedWindowSlot(HWND window);

constexpr DWORD MUTEX_ALL_ACCESS = 0x1F0001;
HANDLE CreateMutexA(void *securityAttributes, BOOL initialOwner, const char *name);
HANDLE OpenMutexA(DWORD access, BOOL inherit, const char *name);  // null if none exists

}  // namespace win

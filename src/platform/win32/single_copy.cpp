// Single-copy guard: a counter and a window slot in a data section that the
// loader shares between every running copy of this program file, and the
// machine-wide named mutex.
#include "platform/single_copy.h"
#include "platform/win32/native.h"

namespace {

// The section ".sdata" holds these two and nothing else, the counter first
// (8 bytes on x86; 16 on x64, where the window slot is 8-byte aligned); "shared" marks it IMAGE_SCN_MEM_SHARED, so every process that maps
// SETUP.EXE sees the same two values. Shared sections must be initialised
// data; "no_reorder" keeps the optimiser from swapping the two.
#define MIRTEL_SHARED_DATA __attribute__((section(".sdata"), shared, no_reorder))
MIRTEL_SHARED_DATA volatile ::LONG g_lInstanceCount = -1;
MIRTEL_SHARED_DATA ::HWND g_hInstanceWnd = nullptr;

}  // namespace

namespace win {

LONG IncrementCopyCounter() { return ::InterlockedIncrement(&g_lInstanceCount); }

LONG DecrementCopyCounter() { return ::InterlockedDecrement(&g_lInstanceCount); }

HWND GetSharedWindowSlot() { return reinterpret_cast<HWND>(g_hInstanceWnd); }

void SetSharedWindowSlot(HWND window) { g_hInstanceWnd = reinterpret_cast<::HWND>(window); }

HANDLE CreateMutexA(void *securityAttributes, BOOL initialOwner, const char *name) {
    return reinterpret_cast<HANDLE>(
        ::CreateMutexA(static_cast<::LPSECURITY_ATTRIBUTES>(securityAttributes), initialOwner, name));
}

HANDLE OpenMutexA(DWORD access, BOOL inherit, const char *name) {
    return reinterpret_cast<HANDLE>(::OpenMutexA(access, inherit, name));
}

}  // namespace win

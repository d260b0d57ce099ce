// copy_counter_probe.exe: one running copy of a program that carries the
// shared copy counter and window slot, for the single-copy test.
//
//   copy_counter_probe.exe hold <window value>
//       increments the counter, stores the value in the window slot, sets
//       the event "MirtelProbeHolding", waits for "MirtelProbeRelease",
//       decrements the counter; exits with the value of the increment.
//   copy_counter_probe.exe count
//       exits with the value its own increment gives (then decrements).
//   copy_counter_probe.exe slot
//       exits with the value in the window slot.
#include <cstdlib>
#include <cstring>

#include "platform/single_copy.h"
#include "platform/types.h"

#include <windows.h>

int main(int argc, char **argv) {
    if (argc >= 3 && std::strcmp(argv[1], "hold") == 0) {
        LONG count = win::IncrementCopyCounter();
        win::SetSharedWindowSlot(
            reinterpret_cast<win::HWND>(static_cast<ULONG_PTR>(std::strtoul(argv[2], nullptr, 0))));
        HANDLE holding = CreateEventA(nullptr, TRUE, FALSE, "MirtelProbeHolding");
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "MirtelProbeRelease");
        SetEvent(holding);
        WaitForSingleObject(release, 30000);
        win::DecrementCopyCounter();
        CloseHandle(holding);
        CloseHandle(release);
        return static_cast<int>(count);
    }
    if (argc >= 2 && std::strcmp(argv[1], "count") == 0) {
        LONG count = win::IncrementCopyCounter();
        win::DecrementCopyCounter();
        return static_cast<int>(count);
    }
    if (argc >= 2 && std::strcmp(argv[1], "slot") == 0) {
        return static_cast<int>(reinterpret_cast<ULONG_PTR>(win::GetSharedWindowSlot()));
    }
    return 100;
}

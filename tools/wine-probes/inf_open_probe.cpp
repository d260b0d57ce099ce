// inf_open_probe.exe: how long Windows' (or Wine's) setupapi.dll takes to
// open an INF, for the side-by-side INF engine benchmark
// (scripts/bench-inf.sh). A Win32 program, built with MinGW and run under
// Wine; not part of the installer.
//
//   inf_open_probe.exe <inf-path> [runs]
//
// Prints the fastest and the median of `runs` SetupOpenInfFileA calls
// (10 by default), in wall time and in the thread's processor time; the
// handle is closed outside the timing.
#include <windows.h>
#include <setupapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double ThreadCpuMilliseconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME &time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;  // 100 ns units
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: inf_open_probe.exe <inf-path> [runs]\n");
        return 2;
    }
    const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 10;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> wall, cpu;
    for (int run = 0; run < runs; ++run) {
        UINT errorLine = 0;
        LARGE_INTEGER start, end;
        const double cpuStart = ThreadCpuMilliseconds();
        QueryPerformanceCounter(&start);
        HINF inf = SetupOpenInfFileA(argv[1], nullptr, INF_STYLE_WIN4, &errorLine);
        QueryPerformanceCounter(&end);
        cpu.push_back(ThreadCpuMilliseconds() - cpuStart);
        if (inf == INVALID_HANDLE_VALUE) {
            std::fprintf(stderr, "inf_open_probe: cannot open %s (error 0x%08lx, line %u)\n", argv[1],
                         GetLastError(), errorLine);
            return 1;
        }
        wall.push_back((end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
        SetupCloseInfFile(inf);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("open: min %.1f ms, median %.1f ms (%d runs)\n", wall.front(), wall[wall.size() / 2], runs);
    std::printf("open, processor time: min %.1f ms, median %.1f ms\n", cpu.front(), cpu[cpu.size() / 2]);
    return 0;
}

// inf-bench: how fast the simulated machine's "SetupApi.DLL" opens a large
// INF and walks its model names the way the installer does, and how much
// memory the open takes.
//
//   inf-bench <inf-host-path> [runs]
//
// Prints the fastest and the median of `runs` opens (10 by default) in
// wall time and in the thread's processor time (which other processes on
// a busy machine do not inflate), the time of one model walk, and the
// growth of peak resident memory during the first open (after a small INF
// has set the engine up).
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/library.h"
#include "platform/setupapi.h"
#include "platform/sim/files/paths.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double ThreadCpuMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// A "Vm...:" figure of /proc/self/status, in KiB.
long StatusKib(const char *field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
    return -1;
}

struct Api {
    win::PFN_SetupOpenInfFileA open;
    win::PFN_SetupCloseInfFile close;
    win::PFN_SetupGetLineTextA lineText;
    win::PFN_SetupFindFirstLineA findFirst;
    win::PFN_SetupFindNextLine findNext;
    win::PFN_SetupGetStringFieldA field;
};

template <class Function>
Function Lookup(win::HMODULE module, const char *name) {
    return reinterpret_cast<Function>(win::GetProcAddress(module, name));
}

// The installer's read of one string: the size, then exactly that much.
std::string Read(const Api &api, win::INFCONTEXT *context, win::HINF inf, const char *section, const char *key) {
    win::DWORD size = 0;
    const bool ok = context != nullptr ? api.field(context, 0, nullptr, 0, &size)
                                       : api.lineText(nullptr, inf, section, key, nullptr, 0, &size);
    if (!ok || size < 2) return std::string();
    std::string text(size, '\0');
    if (context != nullptr) api.field(context, 0, &text[0], size, &size);
    else api.lineText(nullptr, inf, section, key, &text[0], size, &size);
    text.resize(size - 1);
    return text;
}

// Provider, its models section, and every model name in it.
std::size_t WalkModels(const Api &api, win::HINF inf) {
    const std::string provider = Read(api, nullptr, inf, "Version", "Provider");
    const std::string section = Read(api, nullptr, inf, "Manufacturer", provider.c_str());
    std::size_t models = 0;
    win::INFCONTEXT context;
    for (bool found = api.findFirst(inf, section.c_str(), nullptr, &context) != win::FALSE; found;
         found = api.findNext(&context, &context) != win::FALSE)
        if (!Read(api, &context, inf, nullptr, nullptr).empty()) ++models;
    return models;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: inf-bench <inf-host-path> [runs]\n");
        return 2;
    }
    const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 10;
    const std::string path = sim::WindowsPath(std::filesystem::absolute(argv[1]).lexically_normal().string());
    const win::HMODULE module = win::LoadLibraryA("SetupApi.DLL");
    if (module == nullptr) {
        std::fprintf(stderr, "inf-bench: cannot load SetupApi.DLL\n");
        return 1;
    }
    const Api api = {Lookup<win::PFN_SetupOpenInfFileA>(module, "SetupOpenInfFileA"),
                     Lookup<win::PFN_SetupCloseInfFile>(module, "SetupCloseInfFile"),
                     Lookup<win::PFN_SetupGetLineTextA>(module, "SetupGetLineTextA"),
                     Lookup<win::PFN_SetupFindFirstLineA>(module, "SetupFindFirstLineA"),
                     Lookup<win::PFN_SetupFindNextLine>(module, "SetupFindNextLine"),
                     Lookup<win::PFN_SetupGetStringFieldA>(module, "SetupGetStringFieldA")};

    // The engine's first use (the machine's settings, the code page's
    // tables) is paid by a small INF opened first: what is measured is
    // what the open of this file takes.
    const std::filesystem::path warmUp = std::filesystem::temp_directory_path() / "inf-bench-warm-up.inf";
    std::ofstream(warmUp) << "[Version]\r\nSignature=\"$Windows NT$\"\r\n";
    win::UINT warmUpError = 0;
    const win::HINF small = api.open(sim::WindowsPath(warmUp.string()).c_str(), nullptr, win::INF_STYLE_WIN4,
                                     &warmUpError);
    if (small != win::INVALID_HANDLE_VALUE) api.close(small);
    std::filesystem::remove(warmUp);

    const long residentBefore = StatusKib("VmRSS:");
    std::vector<double> opens;
    std::vector<double> openCpu;
    long peakGrowth = 0;
    double walk = 0;
    std::size_t models = 0;
    for (int run = 0; run < runs; ++run) {
        win::UINT errorLine = 0;
        const double cpuStart = ThreadCpuMilliseconds();
        const Clock::time_point start = Clock::now();
        const win::HINF inf = api.open(path.c_str(), nullptr, win::INF_STYLE_WIN4, &errorLine);
        const Clock::time_point opened = Clock::now();
        openCpu.push_back(ThreadCpuMilliseconds() - cpuStart);
        if (inf == win::INVALID_HANDLE_VALUE) {
            std::fprintf(stderr, "inf-bench: cannot open %s (error 0x%08lx, line %u)\n", path.c_str(),
                         static_cast<unsigned long>(win::GetLastError()), errorLine);
            return 1;
        }
        opens.push_back(Milliseconds(opened - start));
        if (run == 0) {
            peakGrowth = StatusKib("VmHWM:") - residentBefore;
            const Clock::time_point walkStart = Clock::now();
            models = WalkModels(api, inf);
            walk = Milliseconds(Clock::now() - walkStart);
        }
        api.close(inf);
    }
    std::sort(opens.begin(), opens.end());
    std::sort(openCpu.begin(), openCpu.end());
    const double fileMib = static_cast<double>(std::filesystem::file_size(argv[1])) / (1024 * 1024);
    std::printf("file: %.1f MiB\n", fileMib);
    std::printf("open: min %.1f ms, median %.1f ms (%d runs)\n", opens.front(), opens[opens.size() / 2], runs);
    std::printf("open, processor time: min %.1f ms, median %.1f ms\n", openCpu.front(), openCpu[openCpu.size() / 2]);
    std::printf("walk: %zu models in %.1f ms\n", models, walk);
    std::printf("peak memory of the first open: %.1f MiB (%.2f x the file)\n", peakGrowth / 1024.0,
                peakGrowth / 1024.0 / fileMib);
    win::FreeLibrary(module);
    return 0;
}

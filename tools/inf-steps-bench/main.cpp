// Benchmarks of the INF steps on generated data, each run in this process
// against a throw-away simulated machine:
//   check   kCheckInfFile over a package of 2,000 INF files in nested folders
//   oem     kCopyOemInf on NT 4.0 against an INF store of 1,000 OEM INF
//           files, once with two older copies of our models among them and
//           once with none
// For each: the best and median time of the runs, and the peak heap above
// the step's starting point against the largest INF file involved.
// Usage: mirtel-inf-steps-bench [runs]   (exit status 1: a budget exceeded)
//        mirtel-inf-steps-bench --heap    one run of each, and only the heap
//                                         budgets count: a check that does not
//                                         depend on the machine's speed (a test)
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/mirtel_app.h"
#include "bench_data.h"
#include "heap_counter.h"
#include "platform/sim/machine/machine.h"

namespace fs = std::filesystem;
using bench_data::PrinterInf;
using bench_data::Range;
using bench_data::WriteFile;

namespace {

struct Figures {
    double bestSeconds = 0;
    double medianSeconds = 0;
    std::size_t peakHeap = 0;
};

// Runs `step` `runs` times, `prepare` before each run (not timed).
Figures Measure(int runs, const std::function<void()> &prepare, const std::function<void()> &step) {
    std::vector<double> seconds;
    Figures figures;
    for (int run = 0; run < runs; ++run) {
        prepare();
        const std::size_t baseline = heap_counter::LiveBytes();
        heap_counter::ResetPeak();
        const auto start = std::chrono::steady_clock::now();
        step();
        const auto end = std::chrono::steady_clock::now();
        seconds.push_back(std::chrono::duration<double>(end - start).count());
        figures.peakHeap = std::max(figures.peakHeap, heap_counter::PeakBytes() - baseline);
    }
    std::sort(seconds.begin(), seconds.end());
    figures.bestSeconds = seconds.front();
    figures.medianSeconds = seconds[seconds.size() / 2];
    return figures;
}

// Whether the time budgets count (not in the heap check).
bool g_timed = true;

// Prints the figures against their budgets; false when one is exceeded.
bool Report(const char *name, const Figures &figures, double budgetSeconds, std::size_t largestInf) {
    const double ratio = static_cast<double>(figures.peakHeap) / static_cast<double>(largestInf);
    const bool fast = !g_timed || figures.medianSeconds < budgetSeconds;
    const bool small = ratio < 4.0;
    std::printf("%s\n", name);
    std::printf("  time: best %.3f s, median %.3f s (budget %.1f s) %s\n", figures.bestSeconds,
                figures.medianSeconds, budgetSeconds, !g_timed ? "not checked" : fast ? "ok" : "OVER");
    std::printf("  peak heap above start: %zu bytes = %.2f x the largest INF (%zu bytes; budget 4 x) %s\n",
                figures.peakHeap, ratio, largestInf, small ? "ok" : "OVER");
    return fast && small;
}

// A package of 2,000 INF files: 20 in the driver folder (two accepted NT
// INFs among them), and 10 folders of 18 files, each with 9 subfolders of 20.
// Every other file is a printer INF for the 95 family, so each one has its
// Class and Signature read and the examination runs to the end.
std::size_t MakePackage(const std::string &root) {
    std::size_t largest = 0;
    auto put = [&](const std::string &relative, const std::string &text) {
        largest = std::max(largest, WriteFile(root + "/" + relative, text));
    };
    put("TALVO.INF", PrinterInf("$Windows NT$", "Talvo", Range(0, 10)));
    put("TALVO2.INF", PrinterInf("$Windows NT$", "Talvo", Range(10, 10)));
    put("LARGE95.INF", PrinterInf("$CHICAGO$", "Large", Range(0, 2000)));
    for (int i = 0; i < 17; ++i)
        put("R" + std::to_string(i) + ".INF", PrinterInf("$CHICAGO$", "Talvo", Range(i, 10)));
    for (int top = 0; top < 10; ++top) {
        const std::string folder = "T" + std::to_string(top);
        for (int i = 0; i < 18; ++i)
            put(folder + "/F" + std::to_string(i) + ".INF",
                PrinterInf("$CHICAGO$", "Talvo", Range(i, 10)));
        for (int sub = 0; sub < 9; ++sub)
            for (int i = 0; i < 20; ++i)
                put(folder + "/S" + std::to_string(sub) + "/F" + std::to_string(i) + ".INF",
                    PrinterInf("$CHICAGO$", "Talvo", Range(i, 10)));
    }
    return largest;
}

// An INF store of 1,000 OEM INF files with their .PNF files, other makers'
// drivers, one of them large; with `olderCopies`, OEM500.inf and
// OEM900.inf hold models of ours only.
std::size_t MakeStore(const std::string &store, bool olderCopies) {
    std::size_t largest = 0;
    for (int n = 0; n < 1000; ++n) {
        const std::string name = store + "/OEM" + std::to_string(n);
        std::string text;
        if (olderCopies && (n == 500 || n == 900))
            text = PrinterInf("$Windows NT$", "Talvo", Range(n == 500 ? 0 : 5, 5));
        else
            text = PrinterInf("$Windows NT$", "Maker" + std::to_string(n), Range(0, n == 1 ? 2000 : 10));
        largest = std::max(largest, WriteFile(name + ".inf", text));
        WriteFile(name + ".PNF", std::string(512, 'p'));
    }
    return largest;
}

}  // namespace

int main(int argc, char **argv) {
    g_timed = !(argc > 1 && std::string(argv[1]) == "--heap");
    const int runs = !g_timed ? 1 : argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    char pattern[] = "/tmp/mirtel-inf-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 2;
    }
    const std::string work = pattern;
    const std::string machine = work + "/machine";
    std::string error;
    if (!sim::CreateMachineFolder(machine, &error)) {
        std::fprintf(stderr, "cannot make a machine: %s\n", error.c_str());
        return 2;
    }
    sim::Machine::UseFolder(machine);
    const std::string driveC = machine + "/drive_c";
    const std::string path = getenv("PATH") ? getenv("PATH") : "";

    bool withinBudgets = true;
    {
        const std::size_t largest = MakePackage(driveC + "/pkg");
        CMirtelApp app;
        app.m_nOSCode = kOSWinNT5;
        app.m_strDriverDir = "C:\\pkg";
        const Figures figures = Measure(
            runs, [] {},
            [&] {
                if (!app.kCheckInfFile() || app.m_listInfFile.size() != 2)
                    std::fprintf(stderr, "kCheckInfFile did not accept the two NT INF files\n");
            });
        withinBudgets &= Report("kCheckInfFile, 2,000 INF files in 101 folders", figures, 0.5, largest);
    }

    const std::size_t ours = WriteFile(driveC + "/pkg/OURS.INF",
                                       PrinterInf("$Windows NT$", "Talvo", Range(0, 10)));
    for (const bool olderCopies : {true, false}) {
        const std::string pristine = work + (olderCopies ? "/store-copies" : "/store-foreign");
        const std::size_t largest = std::max(ours, MakeStore(pristine, olderCopies));
        const std::string store = driveC + "/WINDOWS/Inf";
        CMirtelApp app;
        app.m_nOSCode = kOSWinNT4;
        app.m_listInfFile = {"C:\\pkg\\OURS.INF"};
        const char *expected = olderCopies ? "C:\\WINDOWS\\Inf\\OEM500.inf" : "C:\\WINDOWS\\Inf\\OEM1000.inf";
        const Figures figures = Measure(
            runs,
            [&] {
                fs::remove_all(store);
                fs::copy(pristine, store);
                setenv("PATH", path.c_str(), 1);
            },
            [&] {
                CString text;
                if (!app.kCopyOemInf(text) || text != expected)
                    std::fprintf(stderr, "kCopyOemInf wrote [%s], not %s\n", text.c_str(), expected);
            });
        withinBudgets &= Report(olderCopies
                                    ? "kCopyOemInf on NT 4.0, 1,000 OEM INF files, two older copies"
                                    : "kCopyOemInf on NT 4.0, 1,000 OEM INF files, none of ours",
                                figures, 1.0, largest);
    }

    fs::remove_all(work);
    return withinBudgets ? 0 : 1;
}

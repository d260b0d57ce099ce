#include "matrix.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "cancellation.h"
#include "cell_run.h"
#include "package_copy.h"
#include "scratch_folder.h"

namespace check {
namespace {

// An INF of this size or more takes a run's memory beyond the usual.
constexpr std::uint64_t kLargeInf = 8u << 20;

}  // namespace

std::vector<Cell> RunMatrix(const MatrixInput &input, const std::function<void(std::size_t, std::size_t)> &progress) {
    ScratchFolder scratch;
    const std::string copy = scratch.Path() + "/package";
    std::string error;
    if (scratch.Path().empty() || !CopyPackage(input.package, copy, input.setupProgram, &error)) {
        std::vector<Cell> failed;
        for (const Family &family : *input.families) {
            for (const Language &language : *input.languages) {
                Cell cell;
                cell.family = family.id;
                cell.language = language.code;
                cell.runError = error.empty() ? "cannot make a temporary folder" : error;
                failed.push_back(cell);
            }
        }
        return failed;
    }
    std::vector<CellJob> jobs;
    for (const Family &family : *input.families) {
        for (const Language &language : *input.languages) {
            CellJob job;
            job.family = &family;
            job.language = &language;
            job.driverFolder = input.driverFolder;
            job.infs = input.infs;
            jobs.push_back(job);
        }
    }
    // Runs go language by language, so that the runs going at one time are
    // of different families. The family whose installer reads every INF
    // file whole through the setup API (NT 4.0's OEM step) holds several
    // times the size of a large INF: of it, one run at a time then.
    std::vector<std::size_t> order;
    for (std::size_t language = 0; language < input.languages->size(); ++language)
        for (std::size_t family = 0; family < input.families->size(); ++family)
            order.push_back(family * input.languages->size() + language);
    std::uint64_t largest = 0;
    for (const InfFile &inf : *input.infs) largest = std::max(largest, inf.size);
    const auto heavy = [&](std::size_t job) { return largest >= kLargeInf && jobs[job].family->id == "nt4"; };
    // The heavy runs, one after another, take longest: the others run
    // beside them at a lower priority.
    for (std::size_t job = 0; job < jobs.size(); ++job)
        if (largest >= kLargeInf && !heavy(job)) jobs[job].niceness = 10;
    std::vector<Cell> cells(jobs.size());
    std::vector<bool> taken(jobs.size(), false);
    bool heavyRunning = false;
    std::size_t done = 0;
    std::mutex lock;  // guards taken, heavyRunning and done
    std::condition_variable heavyEnded;
    // The next job that may start now, a heavy one first (they run one
    // after another, the longest chain of the check); jobs.size() when none
    // is left.
    const auto take = [&](std::unique_lock<std::mutex> &held) {
        for (;;) {
            std::size_t next = jobs.size();
            bool waiting = false;
            for (std::size_t job : order) {
                if (taken[job]) continue;
                if (heavy(job) && heavyRunning) {
                    waiting = true;
                } else if (heavy(job)) {
                    next = job;
                    break;
                } else if (next == jobs.size()) {
                    next = job;
                }
            }
            if (next < jobs.size()) {
                taken[next] = true;
                heavyRunning = heavyRunning || heavy(next);
                return next;
            }
            if (!waiting) return jobs.size();
            heavyEnded.wait(held);
        }
    };
    progress(0, jobs.size());
    // Each run waits on its program most of the time: one more runner than
    // cores keeps them busy. Beside heavy runs, whose programs keep a core
    // busy, one runner fewer: each other run's program takes memory too.
    const std::size_t cores = std::max(2u, std::thread::hardware_concurrency());
    const std::size_t runners = std::min<std::size_t>(jobs.size(), largest >= kLargeInf ? cores : cores + 1);
    // Each runner's own copy of the package copy, made of hard links (the
    // installer reads its package and never writes to it), serves all its
    // runs. They are all made before the first run and removed after the
    // last: a link made or removed changes the file's change time, and a
    // run that sees an INF's change time move while it reads the file
    // parses it again.
    std::vector<std::unique_ptr<ScratchFolder>> runnerFolders;
    std::vector<std::string> packages(runners), linkErrors(runners);
    for (std::size_t i = 0; i < runners; ++i) {
        runnerFolders.push_back(std::make_unique<ScratchFolder>());
        packages[i] = runnerFolders[i]->Path() + "/package";
        if (runnerFolders[i]->Path().empty()) linkErrors[i] = "cannot make a temporary folder";
        else LinkPackage(copy, packages[i], &linkErrors[i]);
    }
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < runners; ++i) {
        threads.emplace_back([&, i] {
            const std::string &package = packages[i];
            const std::string &linkError = linkErrors[i];
            std::unique_lock<std::mutex> held(lock);
            for (std::size_t job; (job = take(held)) < jobs.size();) {
                // The next heavy run may start as soon as this one's program
                // has ended, while its results are read and its machine
                // removed.
                bool holdsHeavy = heavy(job);
                const auto releaseHeavy = [&] {
                    std::lock_guard<std::mutex> guard(lock);
                    if (!holdsHeavy) return;
                    holdsHeavy = false;
                    heavyRunning = false;
                    heavyEnded.notify_all();
                };
                held.unlock();
                CellJob run = jobs[job];
                run.package = package;
                if (CancellationRequested()) {
                    cells[job].runError = "cancelled";
                } else if (!linkError.empty()) {
                    cells[job].family = run.family->id;
                    cells[job].language = run.language->code;
                    cells[job].runError = linkError;
                } else {
                    cells[job] = RunCell(run, releaseHeavy);
                }
                releaseHeavy();
                held.lock();
                progress(++done, jobs.size());
            }
        });
    }
    for (std::thread &thread : threads) thread.join();
    return cells;
}

}  // namespace check

#include "matrix.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "cancellation.h"
#include "cell_run.h"
#include "package_copy.h"
#include "scratch_folder.h"

namespace check {

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
            job.package = copy;
            job.driverFolder = input.driverFolder;
            job.infs = input.infs;
            jobs.push_back(job);
        }
    }
    std::vector<Cell> cells(jobs.size());
    std::atomic<std::size_t> next{0};
    std::size_t done = 0;
    std::mutex doneLock;
    progress(0, jobs.size());
    // Each run waits on its program most of the time: one more runner than
    // cores keeps them busy.
    const std::size_t runners =
        std::min<std::size_t>(jobs.size(), std::max(2u, std::thread::hardware_concurrency()) + 1);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < runners; ++i) {
        threads.emplace_back([&] {
            for (std::size_t job; (job = next++) < jobs.size();) {
                if (CancellationRequested()) {
                    cells[job].runError = "cancelled";
                    continue;
                }
                cells[job] = RunCell(jobs[job]);
                std::lock_guard<std::mutex> guard(doneLock);
                progress(++done, jobs.size());
            }
        });
    }
    for (std::thread &thread : threads) thread.join();
    return cells;
}

}  // namespace check

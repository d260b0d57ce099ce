#include "cancellation.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

namespace check {
namespace {

std::atomic<bool> g_cancelled{false};
std::mutex g_groupsLock;
std::set<pid_t> g_groups;

sigset_t WatchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

void WatchForCancellation() {
    const sigset_t set = WatchedSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set] {
        int signal = 0;
        while (sigwait(&set, &signal) != 0) {
        }
        g_cancelled = true;
        std::lock_guard<std::mutex> guard(g_groupsLock);
        for (pid_t group : g_groups) kill(-group, SIGKILL);
    }).detach();
}

bool CancellationRequested() { return g_cancelled; }

void TrackProcessGroup(pid_t group) {
    std::lock_guard<std::mutex> guard(g_groupsLock);
    g_groups.insert(group);
    if (g_cancelled) kill(-group, SIGKILL);
}

void UntrackProcessGroup(pid_t group) {
    std::lock_guard<std::mutex> guard(g_groupsLock);
    g_groups.erase(group);
}

}  // namespace check

// The single-copy counter and window slot live in a section that every
// running copy of the program file shares: a second copy must see the
// first one's increment and window, and the counter must be back at -1
// once no copy runs. Runs copies of copy_counter_probe.exe, which carries
// the same section.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "beside.h"

namespace {

class Probe {
public:
    explicit Probe(const std::string &arguments) {
        std::string line = "\"" + BesideThisProgram("copy_counter_probe.exe") + "\" " + arguments;
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back('\0');
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        m_started = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &m_info);
    }
    ~Probe() {
        if (!m_started) return;
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
    }
    bool Started() const { return m_started; }
    // The exit code, or a failure once 20 seconds have passed.
    DWORD Wait() const {
        DWORD code = 0xDEAD;
        if (WaitForSingleObject(m_info.hProcess, 20000) == WAIT_OBJECT_0)
            GetExitCodeProcess(m_info.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION m_info{};
    bool m_started = false;
};

class Event {
public:
    explicit Event(const char *name) : m_handle(CreateEventA(nullptr, TRUE, FALSE, name)) {}
    ~Event() { CloseHandle(m_handle); }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

DWORD RunProbe(const char *arguments) {
    Probe probe(arguments);
    EXPECT_TRUE(probe.Started()) << arguments;
    return probe.Wait();
}

TEST(CopyCounter, SecondCopySeesTheFirstAndTheCounterReturnsToMinusOne) {
    Event holding("MirtelProbeHolding");
    Event release("MirtelProbeRelease");
    ResetEvent(holding.Get());
    ResetEvent(release.Get());

    EXPECT_EQ(RunProbe("count"), 0u) << "a lone copy gets 0";

    Probe first("hold 0x1234");
    ASSERT_TRUE(first.Started());
    ASSERT_EQ(WaitForSingleObject(holding.Get(), 20000), WAIT_OBJECT_0);
    EXPECT_EQ(RunProbe("count"), 1u) << "a second copy sees the first";
    EXPECT_EQ(RunProbe("slot"), 0x1234u) << "a second copy sees the first copy's window";

    SetEvent(release.Get());
    EXPECT_EQ(first.Wait(), 0u);
    EXPECT_EQ(RunProbe("count"), 0u) << "the counter is back at -1";
}

}  // namespace

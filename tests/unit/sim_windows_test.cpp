// The simulated machine's windows and messages, as the framework and the
// program rely on them.
#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/library.h"
#include "platform/process.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "support/machine_fixture.h"

namespace {

using testing_machine::TranscriptEvent;

// What a window procedure saw, in order.
struct Seen {
    win::HWND window;
    win::UINT message;
};
std::vector<Seen> g_seen;
win::LRESULT g_createResult = 0;

win::LRESULT MIRTEL_STDCALL RecordingProc(win::HWND window, win::UINT message, win::WPARAM wParam,
                                          win::LPARAM lParam) {
    g_seen.push_back({window, message});
    if (message == win::WM_CREATE) return g_createResult;
    return win::DefWindowProcA(window, message, wParam, lParam);
}

class SimWindows : public ::testing::Test {
protected:
    void SetUp() override {
        machine.SetIni("Windows", "Add Printer Wizard", "0x00020040");
        machine.Use();
        g_seen.clear();
        g_createResult = 0;
        static const bool registered = [] {
            win::WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = RecordingProc;
            windowClass.lpszClassName = "SimWindowsTest";
            return win::RegisterClassA(&windowClass) != 0;
        }();
        ASSERT_TRUE(registered);
    }

    win::HWND Create(const char *title, win::DWORD style = win::WS_OVERLAPPEDWINDOW, win::HWND parent = nullptr,
                     void *param = nullptr) {
        return win::CreateWindowExA(0, "simwindowstest", title, style, 10, 20, 300, 200, parent, nullptr,
                                    nullptr, param);
    }

    std::vector<win::UINT> MessagesOf(win::HWND window) const {
        std::vector<win::UINT> messages;
        for (const Seen &seen : g_seen)
            if (seen.window == window) messages.push_back(seen.message);
        return messages;
    }

    // Every posted message has been taken; a quit request ends the drain.
    void Drain() {
        win::PostQuitMessage(0);
        win::MSG msg;
        while (win::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        }
    }

    testing_machine::MachineFolder machine;
};

win::LRESULT MIRTEL_STDCALL CreateParamsProc(win::HWND window, win::UINT message, win::WPARAM wParam,
                                             win::LPARAM lParam) {
    if (message == win::WM_NCCREATE) {
        auto *cs = reinterpret_cast<const win::CREATESTRUCTA *>(lParam);
        win::SetWindowLongPtrA(window, win::GWLP_USERDATA, reinterpret_cast<std::intptr_t>(cs->lpCreateParams));
        EXPECT_STREQ(cs->lpszName, "Framework Frame");
        EXPECT_EQ(cs->x, 1025);
    }
    return win::DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(SimWindows, CreationPassesTheCreateParametersToTheProcedure) {
    win::WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CreateParamsProc;
    windowClass.lpszClassName = "SimWindowsCreateParams";
    ASSERT_NE(win::RegisterClassA(&windowClass), 0);
    EXPECT_EQ(win::RegisterClassA(&windowClass), 0);
    EXPECT_EQ(win::GetLastError(), 1410u);  // ERROR_CLASS_ALREADY_EXISTS

    int object = 0;
    win::HWND window = win::CreateWindowExA(0, "SimWindowsCreateParams", "Framework Frame", win::WS_OVERLAPPEDWINDOW,
                                            1025, 769, win::CW_USEDEFAULT, win::CW_USEDEFAULT, nullptr, nullptr,
                                            nullptr, &object);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(win::GetWindowLongPtrA(window, win::GWLP_USERDATA), reinterpret_cast<std::intptr_t>(&object));
    win::RECT rect;
    ASSERT_TRUE(win::GetWindowRect(window, &rect));
    EXPECT_EQ(rect.left, 1025);
    EXPECT_EQ(rect.top, 769);
    EXPECT_EQ(rect.right - rect.left, 768);  // three quarters of the machine's 1024
    EXPECT_TRUE(win::DestroyWindow(window));
    EXPECT_FALSE(win::IsWindow(window));
}

TEST_F(SimWindows, RefusedCreationGivesNoWindowButLetsGoOfIt) {
    g_createResult = -1;
    EXPECT_EQ(Create("refused"), nullptr);
    ASSERT_EQ(g_seen.size(), 3u);
    EXPECT_EQ(g_seen[0].message, win::WM_NCCREATE);
    EXPECT_EQ(g_seen[1].message, win::WM_CREATE);
    EXPECT_EQ(g_seen[2].message, win::WM_NCDESTROY);
    EXPECT_FALSE(win::IsWindow(g_seen[0].window));
    EXPECT_EQ(win::CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(win::GetLastError(), 1407u);  // ERROR_CANNOT_FIND_WND_CLASS
}

TEST_F(SimWindows, CloseDestroysTheFrameAndItsChildInWindowsOrder) {
    win::HWND frame = Create("frame");
    win::HWND view = Create("", win::WS_CHILD | win::WS_VISIBLE, frame);
    ASSERT_NE(view, nullptr);
    g_seen.clear();
    win::SendMessageA(frame, win::WM_CLOSE, 0, 0);
    const std::vector<std::pair<win::HWND, win::UINT>> expected = {
        {frame, win::WM_CLOSE}, {frame, win::WM_DESTROY}, {view, win::WM_DESTROY},
        {view, win::WM_NCDESTROY}, {frame, win::WM_NCDESTROY}};
    ASSERT_EQ(g_seen.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(g_seen[i].window, expected[i].first) << i;
        EXPECT_EQ(g_seen[i].message, expected[i].second) << i;
    }
    EXPECT_FALSE(win::IsWindow(frame));
    EXPECT_FALSE(win::IsWindow(view));
}

TEST_F(SimWindows, StateCallsAnswerAsWindowsDoes) {
    win::HWND window = Create("SETUP");
    EXPECT_FALSE(win::ShowWindow(window, win::SW_SHOWMINIMIZED));  // was hidden
    EXPECT_TRUE(win::IsIconic(window));
    EXPECT_TRUE(win::ShowWindow(window, win::SW_SHOW));
    EXPECT_TRUE(win::IsIconic(window));  // SW_SHOW keeps it minimized
    EXPECT_TRUE(win::UpdateWindow(window));
    EXPECT_FALSE(win::EnableWindow(window, win::FALSE));  // was enabled
    EXPECT_FALSE(win::IsWindowEnabled(window));
    EXPECT_TRUE(win::EnableWindow(window, win::FALSE));  // was disabled
    EXPECT_TRUE(win::SetWindowTextA(window, "Printer Setup - SETUP"));
    char title[8];
    EXPECT_EQ(win::GetWindowTextA(window, title, sizeof title), 7);
    EXPECT_STREQ(title, "Printer");
    win::DestroyWindow(window);
    EXPECT_FALSE(win::ShowWindow(window, win::SW_SHOW));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(SimWindows, MessagesPostedFromAnotherThreadArriveInOrder) {
    win::HWND window = Create("target");
    std::thread poster([window] {
        for (win::UINT i = 0; i < 100; ++i) win::PostMessageA(window, win::WM_USER + i, i, 0);
        win::PostQuitMessage(7);
    });
    win::MSG msg;
    std::vector<win::UINT> received;
    while (win::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        EXPECT_EQ(msg.hwnd, window);
        EXPECT_EQ(msg.wParam, msg.message - win::WM_USER);
        received.push_back(msg.message);
    }
    poster.join();
    EXPECT_EQ(msg.message, win::WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    ASSERT_EQ(received.size(), 100u);
    for (win::UINT i = 0; i < 100; ++i) EXPECT_EQ(received[i], win::WM_USER + i);
    win::DestroyWindow(window);
}

TEST_F(SimWindows, QuitComesAfterPostedMessagesAndDispatchReachesTheProcedure) {
    win::HWND window = Create("target");
    win::PostQuitMessage(0);
    win::PostMessageA(window, win::WM_USER + 1, 0, 0);
    win::MSG msg;
    ASSERT_EQ(win::GetMessageA(&msg, nullptr, 0, 0), 1);
    g_seen.clear();
    win::DispatchMessageA(&msg);
    EXPECT_EQ(MessagesOf(window), std::vector<win::UINT>{win::WM_USER + 1});
    EXPECT_EQ(win::GetMessageA(&msg, nullptr, 0, 0), 0);
    // A window's posted messages go with it.
    win::PostMessageA(window, win::WM_USER + 2, 0, 0);
    win::DestroyWindow(window);
    win::PostQuitMessage(0);
    EXPECT_EQ(win::GetMessageA(&msg, nullptr, 0, 0), 0);
}

// The loop of a wizard run without a worker thread: the wait for the
// wizard wakes for a message posted meanwhile, and for the wizard's end.
TEST_F(SimWindows, MessageWaitWakesForPostsAndForTheProcessEnd) {
    machine.SetIni("Programs", "sleeper", "sleep");
    machine.Use();
    win::HWND window = Create("target");
    win::MSG msg;
    while (win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
    }
    char commandLine[] = "sleeper 0.5";
    win::STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    win::PROCESS_INFORMATION process = {};
    ASSERT_TRUE(win::CreateProcessA(nullptr, commandLine, nullptr, nullptr, win::TRUE, win::NORMAL_PRIORITY_CLASS,
                                    nullptr, nullptr, &startup, &process));
    std::thread poster([window] {
        win::Sleep(50);
        win::PostMessageA(window, win::WM_USER + 5, 0, 0);
    });
    EXPECT_EQ(win::MsgWaitForMultipleObjects(1, &process.hProcess, win::FALSE, 10000, win::QS_ALLINPUT),
              win::WAIT_OBJECT_0 + 1);
    poster.join();
    ASSERT_TRUE(win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(msg.message, win::WM_USER + 5);
    EXPECT_FALSE(win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(win::MsgWaitForMultipleObjects(1, &process.hProcess, win::FALSE, 10000, win::QS_ALLINPUT),
              win::WAIT_OBJECT_0);
    win::CloseHandle(process.hThread);
    win::CloseHandle(process.hProcess);
    win::DestroyWindow(window);
}

TEST_F(SimWindows, PostsToOtherProgramsAreRecorded) {
    win::HWND own = Create("own");
    win::HWND gone = Create("gone");
    win::DestroyWindow(gone);

    struct Case {
        win::HWND window;
        win::BOOL result;
        win::DWORD error;
    };
    const Case cases[] = {
        {reinterpret_cast<win::HWND>(0x1a2b), win::TRUE, 0},
        {nullptr, win::FALSE, win::ERROR_INVALID_WINDOW_HANDLE},
        {gone, win::FALSE, win::ERROR_INVALID_WINDOW_HANDLE},
        {own, win::TRUE, 0},
    };
    for (const Case &c : cases) {
        win::SetLastError(0);
        EXPECT_EQ(win::PostMessageA(c.window, 0x8001, 0x10000, 0), c.result) << c.window;
        EXPECT_EQ(win::GetLastError(), c.error) << c.window;
    }
    Drain();
    const std::vector<TranscriptEvent> events = machine.Transcript();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], (TranscriptEvent{{"event", "post"}, {"hwnd", "0x1a2b"}, {"msg", "0x8001"},
                                          {"wparam", "0x10000"}, {"lparam", "0x0"}, {"result", "1"}}));
    EXPECT_EQ(events[1].at("hwnd"), "0x0");
    EXPECT_EQ(events[1].at("result"), "0");
    win::DestroyWindow(own);
}

TEST_F(SimWindows, FindsOwnAndMachineWindowsAndBringsOnlyOthersForward) {
    win::HWND own = Create("Printer Setup - SETUP");
    EXPECT_EQ(win::FindWindowA(nullptr, "printer setup - setup"), own);
    EXPECT_EQ(win::FindWindowA("SimWindowsTest", "Printer Setup - SETUP"), own);
    EXPECT_EQ(win::FindWindowA("OtherClass", "Printer Setup - SETUP"), nullptr);
    const win::HWND wizard = win::FindWindowA(nullptr, "Add Printer Wizard");
    EXPECT_EQ(wizard, reinterpret_cast<win::HWND>(0x00020040));
    EXPECT_TRUE(win::IsWindow(wizard));
    EXPECT_EQ(win::FindWindowA(nullptr, "Add Printer"), nullptr);

    EXPECT_TRUE(win::SetForegroundWindow(own));
    EXPECT_TRUE(win::SetForegroundWindow(wizard));
    EXPECT_EQ(win::SetActiveWindow(wizard), nullptr);  // another program's window
    EXPECT_FALSE(win::SetForegroundWindow(reinterpret_cast<win::HWND>(0x777)));
    const std::vector<TranscriptEvent> events = machine.Transcript();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (TranscriptEvent{{"event", "foreground"}, {"hwnd", "0x20040"}}));
    win::DestroyWindow(own);
}

// Standard input as the program has it under a test: not a terminal.
class StandardInputFromNull {
public:
    StandardInputFromNull() : m_saved(dup(0)) {
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        close(null);
    }
    ~StandardInputFromNull() {
        dup2(m_saved, 0);
        close(m_saved);
    }

private:
    int m_saved;
};

TEST_F(SimWindows, MessageBoxIsRecordedInUtf8AndAnsweredAtOnce) {
    machine.SetIni("System", "AnsiCodePage", "1252");
    machine.Use();
    StandardInputFromNull input;
    testing::internal::CaptureStderr();
    EXPECT_EQ(win::MessageBoxA(reinterpret_cast<win::HWND>(0x1a2b), "Caf\xe9\nsecond line", "Install Printer Driver",
                               win::MB_OK | win::MB_ICONEXCLAMATION),
              win::IDOK);
    const std::string drawn = testing::internal::GetCapturedStderr();
    EXPECT_NE(drawn.find("Install Printer Driver"), std::string::npos);
    EXPECT_NE(drawn.find("Caf\xc3\xa9"), std::string::npos);
    EXPECT_NE(drawn.find("second line"), std::string::npos);
    const std::vector<TranscriptEvent> events = machine.Transcript();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (TranscriptEvent{{"event", "messagebox"}, {"owner", "0x1a2b"},
                                          {"caption", "Install Printer Driver"},
                                          {"text", "Caf\xc3\xa9\nsecond line"}, {"style", "0x30"}}));
}

std::intptr_t MIRTEL_STDCALL AboutProc(win::HWND dialog, win::UINT message, win::WPARAM, win::LPARAM lParam) {
    if (message == win::WM_INITDIALOG) {
        *reinterpret_cast<win::HWND *>(lParam) = dialog;
        win::EndDialog(dialog, win::IDCANCEL);
        return win::TRUE;
    }
    return win::FALSE;
}

TEST_F(SimWindows, DialogIsRecordedInitialisedAndEnded) {
    win::HWND dialog = nullptr;
    EXPECT_EQ(win::DialogBoxParamA(nullptr, win::MakeIntResource(100), nullptr, AboutProc,
                                   reinterpret_cast<win::LPARAM>(&dialog)),
              win::IDCANCEL);
    EXPECT_NE(dialog, nullptr);
    EXPECT_FALSE(win::IsWindow(dialog));
    EXPECT_FALSE(win::EndDialog(dialog, win::IDOK));
    const std::vector<TranscriptEvent> events = machine.Transcript();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (TranscriptEvent{{"event", "dialog"}, {"id", "0x64"}}));
}

TEST_F(SimWindows, MenusAreHandlesThatCanBeDestroyedOnce) {
    win::HMENU menu = win::LoadMenuA(nullptr, win::MakeIntResource(128));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(win::DestroyMenu(menu));
    EXPECT_FALSE(win::DestroyMenu(menu));
}

TEST_F(SimWindows, IconsComeFromTheModuleAskedAsOnWindows) {
    const win::HINSTANCE program = win::GetModuleHandleA(nullptr);
    struct Case {
        win::HINSTANCE module;
        unsigned id;
        bool found;
        win::DWORD error;
    } cases[] = {
        {nullptr, 32512, true, 0},        // IDI_APPLICATION
        {nullptr, 128, false, 1813},      // a null module has only the system's icons
        {program, 128, true, 0},          // the program's own icon
        {program, 32512, false, 1814},
    };
    for (const Case &c : cases) {
        win::SetLastError(0);
        const win::HICON icon = win::LoadIconA(c.module, win::MakeIntResource(c.id));
        EXPECT_EQ(icon != nullptr, c.found) << c.id;
        EXPECT_EQ(win::GetLastError(), c.error) << c.id;
    }
}

}  // namespace

// wine_parent.exe: plays the parent installer for SETUP.EXE under Wine.
//
//   wine_parent.exe [--message=HEX] [--window=HEX] [--timeout=SECONDS]
//                   [--second-copy-at-box=N] [--hold-mutex=NAME]
//                   SETUP.EXE [ARGUMENTS...]
//
// Makes a (hidden) window, starts SETUP.EXE +W:<window> +M:<message>
// ARGUMENTS, pumps messages and receives the result message. --window
// names another window in +W: (the parent's own window still counts what
// reaches it, so --message=10 --window=ffff shows whether a WM_CLOSE
// posted to HWND_BROADCAST would have closed it). Meanwhile it
// reports every message box of the installer (caption and text) and presses
// its OK button, and reports the installer's other windows. With
// --second-copy-at-box=N it starts a second copy (told to post message + 1)
// while the first copy's N-th box is open, and answers that box only after
// the second copy has ended. With --hold-mutex it holds a mutex of that
// name, as any program on the machine may, while the copies run.
//
// Output, one event a line, tab-separated (see report.h):
//   start  <command line>          screen  <width>x<height>
//   box    <caption>  <text>       window  <caption>  <left>,<top>  <minimized|normal>  <enabled|disabled>
//   posted <0xWPARAM | none>       exit    <exit code>
// and the same events prefixed "second." for the second copy; texts are
// UTF-8. Exit status: 0 when every copy ended, 2 when one could not be
// started, 3 on time-out.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "parent/child.h"
#include "parent/report.h"
#include "parent/watcher.h"

namespace {

struct Options {
    UINT message = 0x8001;
    std::string window;  // empty: the parent's own
    DWORD timeoutSeconds = 120;
    int secondCopyAtBox = 0;
    std::string holdMutex;
    std::string program;
    std::string arguments;
};

// The copies started so far; the window procedure records their posts.
std::vector<std::unique_ptr<Child>> g_children;
UINT g_firstMessage = 0;

LRESULT CALLBACK ParentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= g_firstMessage && message < g_firstMessage + g_children.size()) {
        Child &child = *g_children[message - g_firstMessage];
        child.m_posted = true;
        child.m_wParam = wParam;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string Quoted(const char *argument) {
    if (*argument != '\0' && std::strpbrk(argument, " \t\"") == nullptr) return argument;
    return std::string("\"") + argument + "\"";
}

bool ParseOptions(int argc, char **argv, Options &options) {
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        const char *value = std::strchr(argv[i], '=');
        if (value == nullptr) return false;
        ++value;
        if (std::strncmp(argv[i], "--message=", 10) == 0) {
            options.message = std::strtoul(value, nullptr, 16);
        } else if (std::strncmp(argv[i], "--window=", 9) == 0) {
            options.window = value;
        } else if (std::strncmp(argv[i], "--timeout=", 10) == 0) {
            options.timeoutSeconds = std::strtoul(value, nullptr, 10);
        } else if (std::strncmp(argv[i], "--second-copy-at-box=", 21) == 0) {
            options.secondCopyAtBox = std::atoi(value);
        } else if (std::strncmp(argv[i], "--hold-mutex=", 13) == 0) {
            options.holdMutex = value;
        } else {
            return false;
        }
    }
    if (i >= argc) return false;
    options.program = argv[i++];
    for (; i < argc; ++i) options.arguments += " " + Quoted(argv[i]);
    return true;
}

HWND MakeParentWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ParentWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MirtelTestParent";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "Mirtel test parent", WS_OVERLAPPEDWINDOW,
                           0, 0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
}

bool StartCopy(const Options &options, HWND parent, const char *label) {
    char switches[64];
    UINT message = options.message + static_cast<UINT>(g_children.size());
    char window[32];
    std::snprintf(window, sizeof(window), "%lx", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(parent)));
    std::snprintf(switches, sizeof(switches), " +W:%s +M:%x",
                  options.window.empty() ? window : options.window.c_str(), message);
    std::string commandLine = Quoted(options.program.c_str()) + switches + options.arguments;
    Report(label, "start", commandLine);
    g_children.push_back(std::make_unique<Child>());
    return g_children.back()->Start(label, commandLine);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool AnyRunning() {
    for (auto &child : g_children) {
        if (child->Running()) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char **argv) {
    // The report is read on Linux: lines end in "\n" alone.
    _setmode(_fileno(stdout), _O_BINARY);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: wine_parent.exe [--message=HEX] [--window=HEX] [--timeout=SECONDS] "
                     "[--second-copy-at-box=N] [--hold-mutex=NAME] SETUP.EXE [ARGUMENTS...]\n");
        return 2;
    }
    g_firstMessage = options.message;
    HANDLE heldMutex = options.holdMutex.empty()
                           ? nullptr
                           : CreateMutexA(nullptr, FALSE, options.holdMutex.c_str());
    HWND parent = MakeParentWindow();
    Report("", "screen",
           std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
               std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    if (!StartCopy(options, parent, "")) return 2;
    Watcher first(*g_children[0]);
    std::unique_ptr<Watcher> second;

    DWORD deadline = GetTickCount() + options.timeoutSeconds * 1000;
    bool timedOut = false;
    while (AnyRunning()) {
        if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
            timedOut = true;
            break;
        }
        std::vector<HANDLE> running;
        for (auto &child : g_children) {
            if (child->Running()) running.push_back(child->Process());
        }
        MsgWaitForMultipleObjects(static_cast<DWORD>(running.size()), running.data(), FALSE, 50,
                                  QS_ALLINPUT);
        PumpMessages();

        if (options.secondCopyAtBox > 0 && !second &&
            first.BoxesSeen() >= options.secondCopyAtBox) {
            if (!StartCopy(options, parent, "second")) return 2;
            second = std::make_unique<Watcher>(*g_children[1]);
        }
        // The first copy's N-th box stays open until the second copy ended.
        bool holding = options.secondCopyAtBox > 0 && (!second || g_children[1]->Running());
        first.Scan(holding ? options.secondCopyAtBox - 1 : INT_MAX);
        if (second) second->Scan(INT_MAX);
    }
    PumpMessages();

    for (auto &child : g_children) {
        if (timedOut && child->Running()) {
            Report(child->Label(), "timeout", std::to_string(options.timeoutSeconds));
            child->Kill();
        }
        char posted[32] = "none";
        if (child->m_posted) {
            std::snprintf(posted, sizeof(posted), "0x%08lX",
                          static_cast<unsigned long>(child->m_wParam));
        }
        Report(child->Label(), "posted", posted);
        Report(child->Label(), "exit", std::to_string(child->ExitCode()));
    }
    DestroyWindow(parent);
    if (heldMutex) CloseHandle(heldMutex);
    return timedOut ? 3 : 0;
}

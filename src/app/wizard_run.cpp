// The Add Printer Wizard run: redirect the device-path values, start the
// wizard, keep the user interface alive while a worker thread waits for it
// (or, when no worker can be started, while the run's own loop waits), and
// put the registry back.
#include <cstring>

#include "app/main_frame.h"
#include "app/mirtel_app.h"
#include "lang/log.h"
#include "lang/path_utils.h"

HWND g_hAddWizardNotifyWnd = nullptr;

namespace {

constexpr char kWizardCommandLine[] = "rundll32 shell32,SHHelpShortcuts_RunDLL AddPrinter";

// The wizard leaves its driver index files behind; they would make it show
// the drivers it saw last instead of ours.
void DeleteDriverIndexFiles(const CString &infFolder) {
    DeleteFileA((infFolder + "\\DRVDATA.BIN").c_str());
    DeleteFileA((infFolder + "\\DRVIDX.BIN").c_str());
}

// Pumps messages until the wizard process has ended or a quit message
// arrives: the wait for a run whose worker could not be started. Putting
// the values back while the wizard is still open would hide the driver from
// it.
void PumpMessagesUntilEnded(CMirtelApp *app, HANDLE process) {
    for (;;) {
        MSG msg = {};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) return;
        if (woken == WAIT_FAILED) {
            // The window freezes, but the values wait for the wizard.
            WriteLog(app, "Err : MsgWaitForMultipleObjects error [%lu], waiting for the wizard alone\n",
                     static_cast<unsigned long>(GetLastError()));
            WaitForSingleObject(process, INFINITE);
            return;
        }
    }
}

// The system's own rundll32.exe, named as the application to start: a
// command line alone would have Windows look for "rundll32" beside this
// program and in the current folder before the system's folders, and run
// whatever was placed there with this program's rights. It lives in the
// system folder on the NT family and in the Windows folder on the 95
// family. Empty when the folder cannot be had: the start then fails.
CString SystemRundll32(WORD osCode) {
    CString folder;
    if (osCode == kOSWinNT4 || osCode == kOSWinNT5) {
        folder = SystemFolder();
    } else {
        char windows[MAX_PATH] = {};
        GetWindowsFolder(windows, MAX_PATH);
        folder = windows;
    }
    return folder.empty() ? CString() : JoinPath(folder, "rundll32.exe");
}

}  // namespace

// The worker only waits for the wizard, tells the main frame, and sleeps
// until the main thread ends it.
DWORD MIRTEL_STDCALL AddWizardWaitThread(void *processHandle) {
    WaitForSingleObject(static_cast<HANDLE>(processHandle), INFINITE);
    PostMessageA(g_hAddWizardNotifyWnd, WM_ADDWIZARD_END, 0, 0);
    Sleep(INFINITE);
    return 0;
}

LRESULT CMainFrame::OnStartAddWizard(WPARAM, LPARAM) {
    CMirtelApp *app = GetMirtelApp();

    if (!app->m_bNoRegistry) {
        BOOL begun = FALSE;
        if (!app->kSetAddWizardRegistry(begun)) {
            if (begun) app->m_regInfo.ResetRegistry();
            app->ShowMessage(msg::kErrRegStory);
            WriteLog(app, "Err : Set registory error Mirtel Infomation \n");
            PostMessage(WM_CLOSE);
            return 0;
        }
        DeleteDriverIndexFiles(app->m_strWinInfDir);
    }

    WriteLog(app, "Inf : Start Add Printer Wizard\n");
    // CreateProcessA may write into the command line it is given.
    char commandLine[sizeof kWizardCommandLine];
    std::memcpy(commandLine, kWizardCommandLine, sizeof kWizardCommandLine);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const CString application = SystemRundll32(app->m_nOSCode);
    if (application.empty() ||
        !CreateProcessA(application.c_str(), commandLine, nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process)) {
        app->ShowMessage(msg::kErrWizardRun);
        if (!app->m_bNoRegistry) app->m_regInfo.ResetRegistry();
        PostMessage(WM_CLOSE);
        return 0;
    }

    g_hAddWizardNotifyWnd = m_hWnd;
    // Windows 95, 98 and Me refuse a null thread-id pointer.
    DWORD workerId = 0;
    HANDLE worker = CreateThread(nullptr, 0, AddWizardWaitThread, process.hProcess, 0, &workerId);
    if (!worker) {
        WriteLog(app, "Err : CreateThread error [%lu], the run waits for the wizard itself\n",
                 static_cast<unsigned long>(GetLastError()));
        PumpMessagesUntilEnded(app, process.hProcess);
    } else {
        MSG msg = {};
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_ADDWIZARD_END && msg.hwnd == g_hAddWizardNotifyWnd) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        TerminateThread(worker, 0);
        CloseHandle(worker);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    WriteLog(app, "Inf : End Add Printer Wizard\n");

    if (!app->m_bNoRegistry) {
        DeleteDriverIndexFiles(app->m_strWinInfDir);
        if (!app->m_regInfo.ResetRegistry()) {
            // The backup stays; the next start puts the values back.
            app->ShowMessage(msg::kErrRegStory, msg::kWrnRegStory);
            WriteLog(app, "Err : Reset registory error Mirtel Infomation \n");
            PostMessage(WM_CLOSE);
            return 0;
        }
    }
    PostMessage(WM_CLOSE, 0, 0);
    return 1;
}

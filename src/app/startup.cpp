// Start-up and exit: every step up to the moment the Add Printer Wizard is
// to be started, in a fixed order, stopping at the first failure.
#include "app/main_frame.h"
#include "app/mirtel_app.h"
#include "app/mirtel_doc.h"
#include "app/parent_window.h"
#include "lang/log.h"
#include "lang/path_utils.h"
#include "registry/reg_operation.h"

namespace {

constexpr UINT kDocTemplateId = 128;
constexpr UINT kResourceFileNotFound = 61204;
constexpr const char *kLogKey = "SOFTWARE\\TALVO\\IMG\\PS\\LOG";

}  // namespace

BOOL CMirtelApp::InitInstance() {
    InitCommonControls();

    if (IncrementCopyCounter() > 0) {
        OnSecondCopy();
        return FALSE;
    }

    AddDocTemplate(new CSingleDocTemplate(kDocTemplateId, AfxCreateObject<CMirtelDoc, CDocument>,
                                          AfxCreateObject<CMainFrame, CFrameWnd>,
                                          AfxCreateObject<CMirtelView, CView>));

    m_bErrorShown = FALSE;
    m_bNeedReboot = FALSE;
    m_bLogOutput = FALSE;

    // The log switch: any non-zero REG_DWORD turns the log on. The key
    // stays open until start-up is over.
    CRegOperation logKey(HKEY_LOCAL_MACHINE, kLogKey, FALSE, KEY_ALL_ACCESS);
    if (logKey.m_hKey) {
        DWORD type = 0;
        DWORD level = 0;
        if (logKey.QueryDwordValue("OutputLevel", type, level) && level != 0) m_bLogOutput = TRUE;
    }
    return RunStartUp();
}

BOOL CMirtelApp::RunStartUp() {
    m_pLangTable = m_langsDef.Table();
    if (!m_pLangTable) {
        ShowResourceFileNotFound("LANGSDEF.INI");
        return FALSE;
    }
    WriteLog(this, "LangsDef-file-path[%s]",
             m_langsDef.FilePath().empty() ? "Internal Table" : m_langsDef.FilePath().c_str());

    char buffer[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    SplitPath(buffer, kSplitDriveFolderSlash, m_strAppDir);

    char windowsFolder[MAX_PATH] = {};
    GetWindowsFolder(windowsFolder, MAX_PATH);
    m_strWinInfDir = CString(windowsFolder) + "\\Inf";

    char tempFolder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tempFolder);
    m_strTempDir = tempFolder;

    const LangEntry *chosenRow = nullptr;
    CString failedPath;
    if (!SelectLanguage(nullptr, chosenRow, failedPath)) {
        ShowResourceFileNotFound(failedPath);
        return FALSE;
    }
    m_strLangCode = chosenRow->OmittedName;

    if (!kParseCommandLine()) return FALSE;

    if (!m_strLangId.empty()) {
        if (!SelectLanguage(m_strLangId.c_str(), chosenRow, failedPath)) {
            ShowResourceFileNotFound(failedPath);
            return FALSE;
        }
        m_strLangCode = chosenRow->OmittedName;
    }

    if (!OnFileNew()) return FALSE;

    kGetOSVersion();
    if (m_nOSCode == kOSUnsupported) {
        ShowMessage(msg::kErrOSVersion);
        return FALSE;
    }

    if (!TakeMachineMutex()) return FALSE;

    if ((m_nOSCode == kOSWinNT4 || m_nOSCode == kOSWinNT5) && !kIsAdministrator()) {
        ShowMessage(msg::kErrNoAdmin);
        return FALSE;
    }

    // A backup left by an interrupted run is put back first; the run that
    // repairs never installs.
    BOOL restored = FALSE;
    if (!m_regInfo.RestoreBackupRegistry(restored)) {
        WriteLog(this, "Err : No restore backup registory\n");
        ShowMessage(msg::kErrRegStory, msg::kWrnRegStory);
        return FALSE;
    }
    if (restored) {
        if (m_nOSCode == kOSWinNT5) {
            ShowMessage(msg::kInfRecoverReg, msg::kInfReboot);
            m_bNeedReboot = TRUE;
        } else {
            ShowMessage(msg::kInfRecoverReg);
        }
        m_bErrorShown = FALSE;
        return FALSE;
    }

    CString driverDir;
    if (!MakeFullPath(m_strAppDir.c_str(), m_strDriverDir.c_str(), driverDir)) {
        ShowMessage(msg::kErrCmdLine, nullptr, ("+G:" + m_strDriverDir).c_str(), nullptr);
        return FALSE;
    }
    m_strDriverDir = driverDir;

    if (CheckWizardOrLibraryInUse()) {
        ShowMessage(msg::kErrAddWizard1, msg::kErrAddWizard2);
        m_bErrorShown = FALSE;
        return FALSE;
    }

    ShowNoticeFile();

    if (!kCheckInfFile()) return FALSE;

    m_strErrorFile.clear();
    CString copied;
    if (!kCopyOemInf(copied)) {
        ShowMessage(msg::kErrReadInf, nullptr,
                    m_strErrorFile.empty() ? nullptr : m_strErrorFile.c_str(), nullptr);
        return FALSE;
    }

    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    m_pMainWnd->EnableWindow(FALSE);
    m_pMainWnd->PostMessage(WM_START_ADDWIZARD, 0, 0);
    return TRUE;
}

// Windows NT 6.x is asked for the wizard's window; the others whether the
// system's printer setup library is held open.
BOOL CMirtelApp::CheckWizardOrLibraryInUse() {
    if (m_dwMajorVersion == 6) return kCheckAddWizard();
    char systemFolder[MAX_PATH] = {};
    GetSystemDirectoryA(systemFolder, MAX_PATH);
    const char *library =
        (m_nOSCode == kOSWinNT4 || m_nOSCode == kOSWinNT5) ? "NTPRINT.DLL" : "MSPRINT2.DLL";
    return kFileIsUsed(systemFolder, library);
}

// One installer at a time on the whole machine, whatever its folder or
// session: while one may have the registry redirected, a second one would
// save the redirected values as the originals. A second installer ends as
// a second copy does, showing nothing.
BOOL CMirtelApp::TakeMachineMutex() {
    m_hMutex = nullptr;
    m_bUseMutex = TRUE;
    const bool sessions = m_nOSCode == kOSWinNT5 || kIsTerminalServer(m_nOSCode);
    const char *name = sessions ? kMutexName : kPlainMutexName;
    HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name);
    if (existing) {
        CloseHandle(existing);
        kActivateAddWizard();
        return FALSE;
    }
    m_hMutex = CreateMutexA(nullptr, FALSE, name);
    if (!m_hMutex) return FALSE;
    // Another installer created it between the two calls.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(m_hMutex);
        m_hMutex = nullptr;
        kActivateAddWizard();
        return FALSE;
    }
    return TRUE;
}

// Another copy of this program runs: bring what it shows to the front and
// end without a word.
void CMirtelApp::OnSecondCopy() {
    HWND other = GetSharedWindowSlot();
    if (other && IsWindow(other)) {
        SetForegroundWindow(other);
        SetActiveWindow(other);
    }
    kActivateAddWizard();
}

// The built-in box for a missing language or message file: it cannot come
// from a message file, so it uses the program's own string table.
void CMirtelApp::ShowResourceFileNotFound(const CString &fileName) {
    CString text = AfxLoadString(kResourceFileNotFound) + "\n" + fileName;
    AfxMessageBox(text.c_str(), MB_OK);
}

int CMirtelApp::ExitInstance() {
    if (m_bUseMutex && m_hMutex) {
        CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
    // The parent learns the outcome from one posted message, sent only to
    // a window that exists: a number that names none, or names them all,
    // gets nothing.
    if (!m_strParentWnd.empty() && !m_strNotifyMsg.empty()) {
        const HWND parent = ExistingParentWindow(m_strParentWnd);
        DWORD message = 0;
        if (parent && ReadSwitchNumber(m_strNotifyMsg, message)) {
            WPARAM result = (m_bErrorShown ? 0x1u : 0u) | (m_bNeedReboot ? 0x10000u : 0u);
            PostMessageA(parent, message, result, 0);
        } else {
            WriteLog(this, "Err : No result posted to window [%s] message [%s]\n",
                     m_strParentWnd.c_str(), m_strNotifyMsg.c_str());
        }
    }
    DecrementCopyCounter();
    return CWinApp::ExitInstance();
}

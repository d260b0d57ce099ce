// The application object: the one long-lived object of a run. It owns the
// state every step shares and runs start-up and exit.
#pragma once

#include <memory>

#include "framework/afx.h"
#include "inf/setup_api.h"
#include "lang/langs_def.h"
#include "lang/message_keys.h"
#include "lang/resource_file.h"
#include "registry/reg_infomation.h"

// Private messages of the main frame.
constexpr UINT WM_ADDWIZARD_END = WM_USER + 1;      // 1025
constexpr UINT WM_START_ADDWIZARD = WM_USER + 101;  // 1125

// The machine-wide mutex that marks a running installer: in the global
// namespace where the system has session namespaces (NT 5.x and later,
// terminal servers), under the plain name where it has none.
constexpr const char *kMutexName = "Global\\TALVO_MIRTEL_MUTEX";
constexpr const char *kPlainMutexName = "TALVO_MIRTEL_MUTEX";

// OS codes (m_nOSCode).
constexpr WORD kOSUnsupported = 0;
constexpr WORD kOSWin95 = 1;
constexpr WORD kOSWin98 = 2;
constexpr WORD kOSWinNT4 = 4;
constexpr WORD kOSWinNT5 = 8;

class CModelNames;

class CMirtelApp : public CWinApp {
public:
    MIRTEL_DECLARE_DYNAMIC(CMirtelApp)
    CMirtelApp();
    ~CMirtelApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL OnCmdMsg(UINT id) override;

    // Command line.
    BOOL kParseCommandLine();

    // Language, messages.
    BOOL SelectLanguage(const char *requested, const LangEntry *&chosenRow, CString &failedPath);
    void ShowMessage(const char *key1, const char *key2 = nullptr, const char *extra1 = nullptr,
                     const char *extra2 = nullptr);
    BOOL ShowNoticeFile();

    // System checks.
    void kGetOSVersion();
    BOOL kIsTerminalServer(WORD osCode);
    BOOL kIsAdministrator();
    BOOL kFileIsUsed(const CString &directory, const CString &fileName);
    BOOL kCheckAddWizard();
    void kActivateAddWizard();

    // Registry redirection.
    BOOL kSetAddWizardRegistry(BOOL &begun);

    // INF handling.
    BOOL kCheckInfFile();
    BOOL kCopyOemInf(CString &text);
    BOOL kCopyOemInf95(CString &text);
    BOOL kCopyOemInfNT(CString &text);
    BOOL kGetDriverNames(const CString &infPath, CModelNames &names);
    BOOL kClearReadOnly(const CString &path);

    CResourceFile m_resFile;
    CRegInfomation m_regInfo;
    const LangEntry *m_pLangTable = nullptr;
    WORD m_nOSCode = 0;
    CString m_strAppDir;
    CString m_strParentWnd;
    CString m_strNotifyMsg;
    CString m_strDriverDir;
    CString m_strWinInfDir;
    CString m_strLangId;
    CString m_strLangCode;
    CString m_strResFilePath;
    CString m_strInfPath;
    BOOL m_bErrorShown = FALSE;
    BOOL m_bNeedReboot = FALSE;
    CString m_strTempDir;
    BOOL m_bLogOutput = FALSE;
    std::unique_ptr<CSetupApi> m_pSetupApi;
    DWORD m_dwMajorVersion = 0;
    DWORD m_dwMinorVersion = 0;
    CStringList m_listInfFile;
    CString m_strErrorFile;
    BOOL m_bUseMutex = FALSE;
    HANDLE m_hMutex = nullptr;
    CLangsDef m_langsDef;
    BOOL m_bNoRegistry = FALSE;

private:
    BOOL RunStartUp();
    void OnSecondCopy();
    void ShowResourceFileNotFound(const CString &fileName);
    BOOL CheckWizardOrLibraryInUse();
    BOOL TakeMachineMutex();
};

// The application object of the running program.
CMirtelApp *GetMirtelApp();

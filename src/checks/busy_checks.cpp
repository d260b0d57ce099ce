// Is the Add Printer Wizard already open? On Windows 6.x the wizard's window
// is looked for by its title, which the system's printer library supplies;
// elsewhere the printer setup library held open by another process gives it
// away. A second copy of the installer brings an open wizard to the front.
#include <cinttypes>
#include <cstdint>

#include "app/mirtel_app.h"
#include "lang/log.h"
#include "lang/path_utils.h"

namespace {

// Where the wizard's window title comes from: a library of the system
// directory, always named by its full path, so that no file of the same
// name beside the program or in the current folder is taken instead.
struct WizardTitleSource {
    const char *library;
    UINT stringId;
};
constexpr WizardTitleSource kNtTitle = {"PRINTUI.DLL", 15114};
constexpr WizardTitleSource k9xTitle = {"MSPRINT.DLL", 2};

bool IsNtFamily(WORD osCode) { return osCode == kOSWinNT4 || osCode == kOSWinNT5; }

const WizardTitleSource &TitleSourceFor(WORD osCode) { return IsNtFamily(osCode) ? kNtTitle : k9xTitle; }

// The library is read for one string only: the NT family maps it as a data
// file, so none of its code or its imports runs in this elevated process.
// The 95 family is not relied on to read strings from a data file; there
// it is loaded from its full path with its imports looked for in its own
// folder first.
HMODULE LoadStringLibrary(const CString &path, bool ntFamily) {
    return LoadLibraryExA(path.c_str(), nullptr,
                          ntFamily ? LOAD_LIBRARY_AS_DATAFILE : LOAD_WITH_ALTERED_SEARCH_PATH);
}

// String `id` of `library` into `title`; -1 when the library does not load.
// The library is freed again before this returns.
int LoadLibraryString(const CString &library, bool ntFamily, UINT id, char (&title)[MAX_PATH]) {
    const HMODULE module = LoadStringLibrary(library, ntFamily);
    if (!module) return -1;
    const int length = LoadStringA(module, id, title, MAX_PATH);
    FreeLibrary(module);
    return length;
}

}  // namespace

BOOL CMirtelApp::kFileIsUsed(const CString &directory, const CString &fileName) {
    const CString path = directory.empty() ? CString() : JoinPath(directory, fileName.c_str());
    WriteLog(this, "CMirtelApp::kFileIsUsed  File Name [%s]\n", path.c_str());

    OFSTRUCT info = {};
    info.cBytes = sizeof(info);
    const HFILE file = OpenFile(path.c_str(), &info, OF_READWRITE | OF_SHARE_EXCLUSIVE);
    if (file == HFILE_ERROR) {
        const DWORD error = GetLastError();
        WriteLog(this, "CMirtelApp::kFileIsUsed  OpenFile GetLastError [%d]\n", error);
        return error == ERROR_SHARING_VIOLATION;
    }
    CloseFileHandle(file);
    return FALSE;
}

BOOL CMirtelApp::kCheckAddWizard() {
    const WizardTitleSource &source = TitleSourceFor(m_nOSCode);
    const CString library = JoinPath(SystemFolder(), source.library);
    WriteLog(this, "CMirtelApp::kCheckAddWizard()  strDLLName [%s]\n", library.c_str());

    char title[MAX_PATH] = {};
    const int length = LoadLibraryString(library, IsNtFamily(m_nOSCode), source.stringId, title);
    if (length < 0) {
        WriteLog(this, "CMirtelApp::kCheckAddWizard()  hInst NULL Return FALSE\n");
        return FALSE;
    }
    if (length == 0) {
        WriteLog(this, "CMirtelApp::kCheckAddWizard()  iLen [%d] GetLastError:[%d] Return FALSE\n",
                 length, GetLastError());
        return FALSE;
    }
    WriteLog(this, "CMirtelApp::kCheckAddWizard() szBuff[%s] \n", title);

    const HWND window = FindWindowA(nullptr, title);
    if (!window) {
        WriteLog(this, "CMirtelApp::kCheckAddWizard()  Return FALSE\n");
        return FALSE;
    }
    // Handles print at the width of a pointer, so a 64-bit one shows whole.
    WriteLog(this, "CMirtelApp::kCheckAddWizard()  hWnd [%0*" PRIxPTR "] Return TRUE\n",
             static_cast<int>(sizeof window * 2), reinterpret_cast<std::uintptr_t>(window));
    return TRUE;
}

void CMirtelApp::kActivateAddWizard() {
    kGetOSVersion();
    const WizardTitleSource &source = TitleSourceFor(m_nOSCode);
    char title[MAX_PATH] = {};
    const CString library = JoinPath(SystemFolder(), source.library);
    if (LoadLibraryString(library, IsNtFamily(m_nOSCode), source.stringId, title) <= 0) return;
    if (const HWND window = FindWindowA(nullptr, title)) SetForegroundWindow(window);
}

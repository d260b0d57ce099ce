// Stand-ins for the language and message steps until they are built: the
// built-in language table, English, and message keys shown as text.
#include "app/mirtel_app.h"
#include "lang/path_utils.h"

namespace {
const LangEntry kEnglishTable[] = {{"ENGLISH", 0x0409, "ENG"}, {"", kLangTableEnd, ""}};
}

CLangsDef::CLangsDef() : m_pTable(kEnglishTable) {}
const LangEntry *CLangsDef::BuiltInTable() { return kEnglishTable; }

BOOL CResourceFile::Load(const char *) { return TRUE; }
BOOL CResourceFile::GetString(const char *key, CString &text) const {
    text = key;
    return TRUE;
}

BOOL CMirtelApp::SelectLanguage(const char *, const LangEntry *&chosenRow, CString &) {
    chosenRow = m_pLangTable;
    return TRUE;
}

void CMirtelApp::ShowMessage(const char *key1, const char *key2, const char *extra1,
                             const char *extra2) {
    CString text = key1;
    for (const char *part : {key2, extra1, extra2})
        if (part && *part) text += CString("\n") + part;
    HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    unsigned long parent = 0;
    if (!m_strParentWnd.empty() && std::sscanf(m_strParentWnd.c_str(), "%lx", &parent) == 1)
        owner = reinterpret_cast<HWND>(parent);
    MessageBoxA(owner, text.c_str(), "AFX_IDS_APP_TITLE", MB_OK | MB_ICONEXCLAMATION);
    m_bErrorShown = TRUE;
}

BOOL CMirtelApp::ShowNoticeFile() { return TRUE; }

void SplitPath(const char *path, int selector, CString &out) {
    char drive[MAX_DRIVE], dir[MAX_DIR], fname[MAX_FNAME], ext[MAX_EXT];
    CrtSplitPath(path, drive, dir, fname, ext);
    out = drive;
    if (selector == kSplitDriveFolderSlash) out += dir;
}

BOOL MakeFullPath(const char *baseFolder, const char *path, CString &out) {
    out = *path ? path : baseFolder;
    return TRUE;
}

void GetWindowsFolder(char *buffer, UINT size) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    CString folder = system;
    folder = folder.substr(0, folder.rfind('\\'));
    std::snprintf(buffer, size, "%s", folder.c_str());
}

// Before the Add Printer Wizard starts: read the device-path values, save
// them, and point them at the folder of the accepted INF file.
#include "app/mirtel_app.h"
#include "lang/log.h"
#include "lang/path_utils.h"

namespace {

// The 9x family's Add Printer Wizard reads its paths in the short (8.3)
// form. A path that does not fit the buffer is no path, so the long form
// stays then.
CString ShortFormOf(const CString &folder) {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(folder.c_str(), buffer, MAX_PATH);
    return length != 0 && length < MAX_PATH ? CString(buffer) : folder;
}

}  // namespace

BOOL CMirtelApp::kSetAddWizardRegistry(BOOL &begun) {
    if (m_bNoRegistry) return TRUE;

    if (!m_regInfo.GetAddWizardRegistry()) {
        WriteLog(this, "Err : Get Error AddWizard registory\n");
        return FALSE;
    }
    // From here on the caller must reset, so that nothing stays redirected
    // and the saved copies go.
    begun = TRUE;
    if (!m_regInfo.MakeBackupRegistry()) {
        WriteLog(this, "Err : Make error backup registory\n");
        return FALSE;
    }

    CString folder;
    SplitPath(m_strInfPath.c_str(), kSplitDriveFolder, folder);
    if (folder.empty()) return FALSE;
    const bool is9x = m_nOSCode == kOSWin95 || m_nOSCode == kOSWin98;
    const CString alternate = is9x ? ShortFormOf(folder) : folder;

    if (!m_regInfo.ChangeAddWizardRegistry(folder, alternate)) {
        WriteLog(this, "Err : Change Error AddWizard registory\n");
        return FALSE;
    }
    WriteLog(this, "Completed : Change AddWizard registory\n");
    return TRUE;
}

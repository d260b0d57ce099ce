// The driver folder's INF files: which of them install a printer on the
// running family of Windows, and so which folder the wizard is pointed at.
#include "app/mirtel_app.h"
#include "inf/inf_acceptance.h"
#include "inf/inf_paths.h"
#include "lang/path_utils.h"

BOOL CMirtelApp::kCheckInfFile() {
    CStringList found;
    FindFilesRecursive(m_strDriverDir, "*.inf", found);
    if (found.empty()) {
        ShowMessage(msg::kErrSourcePathNG);
        return FALSE;
    }

    m_listInfFile.clear();
    CString referenceFolder;
    for (const CString &path : found) {
        // The search lists folders whose names end in ".inf" as well; they
        // are no INF files.
        if (IsExistingFolder(path)) continue;

        CString infClass;
        int present = 0;
        if (!ReadProfileString(path.c_str(), "Version", "Class", infClass, present)) {
            ShowMessage(msg::kErrReadInf, nullptr, path.c_str());
            return FALSE;
        }
        if (!IsPrinterClass(infClass)) continue;

        CString signature;
        if (!ReadProfileString(path.c_str(), "Version", "Signature", signature, present)) {
            ShowMessage(msg::kErrReadInf, nullptr, path.c_str());
            return FALSE;
        }
        if (!IsAcceptedSignature(signature, m_nOSCode)) continue;

        // The wizard is pointed at one folder: the accepted files are those
        // beside the first one, up to the first that lies elsewhere.
        CString folder;
        SplitPath(path.c_str(), kSplitDriveFolder, folder);
        if (referenceFolder.empty()) referenceFolder = folder;
        if (!SameTextNoCase(folder, referenceFolder)) break;

        m_listInfFile.push_back(path);
        m_strInfPath = path;
    }

    if (!m_listInfFile.empty()) return TRUE;
    ShowMessage(msg::kErrSourcePathNG);
    return FALSE;
}

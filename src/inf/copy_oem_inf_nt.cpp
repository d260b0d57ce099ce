// Windows NT 4.0 keeps the INF files of other makers in its INF store as
// OEM<n>.inf, each with a precompiled OEM<n>.PNF beside it. Older copies of
// this driver's INF files are found by their model names and replaced, so
// that the Add Printer Wizard offers each model once.
#include <utility>
#include <vector>

#include "app/mirtel_app.h"
#include "inf/inf_paths.h"
#include "inf/oem_inf_store.h"
#include "lang/log.h"
#include "lang/path_utils.h"

namespace {

// The stale precompiled form of an OEM INF that is about to change; there
// may be none.
void DeletePrecompiledInf(CMirtelApp &app, const CString &inf) {
    CString stem;
    SplitPath(inf.c_str(), kSplitNoExt, stem);
    if (stem.empty()) return;
    const CString pnf = stem + ".PNF";
    if (IsExistingFolder(pnf)) return;
    app.kClearReadOnly(pnf);
    DeleteFileA(pnf.c_str());
}

}  // namespace

BOOL CMirtelApp::kCopyOemInfNT(CString &text) {
    char windowsFolder[MAX_PATH] = {};
    GetWindowsFolder(windowsFolder, MAX_PATH);

    BOOL loaded = FALSE;
    m_pSetupApi = std::make_unique<CSetupApi>(loaded, windowsFolder);
    if (!loaded) {
        WriteLog(this, "Err : CMirtelApp::kCopyOemInfNT  SetupApi.DLL cannot be used [%s]\n",
                 windowsFolder);
        return FALSE;
    }

    // Our models are read before the store, which keeps the names of only
    // those OEM INF files that offer nothing else. An INF of ours that
    // cannot be read still ends the step in its turn, after the earlier
    // ones were copied.
    std::vector<CModelNames> ourModels(m_listInfFile.size());
    std::vector<bool> readable(m_listInfFile.size());
    for (std::size_t i = 0; i < m_listInfFile.size(); ++i)
        readable[i] = kGetDriverNames(m_listInfFile[i], ourModels[i]) != FALSE;

    // A copy made for an earlier INF of the list is compared as well.
    COemInfStore store(*this, CString(windowsFolder) + "\\Inf\\", ourModels);
    for (std::size_t ourIndex = 0; ourIndex < m_listInfFile.size(); ++ourIndex) {
        const CString &ours = m_listInfFile[ourIndex];
        // Handed to the store with the copy made of the INF (a driver CD's
        // INF may offer hundreds of thousands of models): used up then.
        CModelNames &ourNames = ourModels[ourIndex];
        if (!readable[ourIndex]) {
            WriteLog(this, "Err : CMirtelApp::kCopyOemInfNT  Cannot read the models of [%s]\n",
                     ours.c_str());
            m_strErrorFile = ours;
            return FALSE;
        }

        // The first match receives the copy; the others are older copies of
        // the same models and go.
        const CStringList matches = store.Covering(ourNames);
        for (std::size_t i = 0; i < matches.size(); ++i) {
            const CString &match = matches[i];
            DeletePrecompiledInf(*this, match);
            if (!kClearReadOnly(match)) {
                WriteLog(this, "Err : CMirtelApp::kCopyOemInfNT  Cannot make [%s] writable (error %u)\n",
                         match.c_str(), GetLastError());
                m_strErrorFile = match;
                return FALSE;
            }
            if (i > 0) {
                if (DeleteFileA(match.c_str())) store.Deleted(match);
                continue;
            }
            // The store would otherwise keep the old copy and the wizard the
            // old driver, while the run went on as if it had been replaced.
            if (!CopyFileA(ours.c_str(), match.c_str(), FALSE)) {
                WriteLog(this, "Err : CMirtelApp::kCopyOemInfNT  Cannot copy [%s] to [%s] (error %u)\n",
                         ours.c_str(), match.c_str(), GetLastError());
                m_strErrorFile = match;
                return FALSE;
            }
            store.Written(match, std::move(ourNames));
            text = match;
        }

        if (matches.empty()) {
            const CString fresh = store.FreeName();
            if (!CopyFileA(ours.c_str(), fresh.c_str(), TRUE)) {
                WriteLog(this, "Err : CMirtelApp::kCopyOemInfNT  Cannot copy [%s] to [%s] (error %u)\n",
                         ours.c_str(), fresh.c_str(), GetLastError());
                m_strErrorFile = ours;
                return FALSE;
            }
            store.Written(fresh, std::move(ourNames));
            text = fresh;
        }
    }
    return TRUE;
}

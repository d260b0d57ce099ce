// Windows NT 4.0 keeps the INF files of other makers in its INF store as
// OEM<n>.inf, each with a precompiled OEM<n>.PNF beside it. Older copies of
// this driver's INF files are found by their model names and replaced, so
// that the Add Printer Wizard offers each model once.
#include "app/mirtel_app.h"
#include "inf/inf_paths.h"
#include "lang/log.h"
#include "lang/path_utils.h"

namespace {

// Every one of `theirs` is among `ours`, letter case ignored. An INF
// without models covers nothing.
bool CoversAll(const CStringList &ours, const CStringList &theirs) {
    if (theirs.empty()) return false;
    for (const CString &their : theirs) {
        bool listed = false;
        for (const CString &our : ours)
            if (SameTextNoCase(their, our)) {
                listed = true;
                break;
            }
        if (!listed) return false;
    }
    return true;
}

// Only files the system itself put into the store are ever replaced or
// deleted: OEM<n>.inf directly in the store, never a folder and never
// anything in a subfolder.
bool IsStoreOemInf(const CString &store, const CString &path) {
    CString folder, name;
    SplitPath(path.c_str(), kSplitDriveFolderSlash, folder);
    SplitPath(path.c_str(), kSplitNameExt, name);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return SameTextNoCase(folder, store) && IsNumberedOemInfName(name) &&
           attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

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

// The first OEM<n>.inf, n = 0, 1, ..., that the store does not hold.
CString FreeOemInfName(const CString &store) {
    for (UINT n = 0;; ++n) {
        const CString candidate = store + FormatString("OEM%u.inf", n);
        OFSTRUCT info = {};
        if (OpenFile(candidate.c_str(), &info, OF_EXIST) == HFILE_ERROR) return candidate;
    }
}

}  // namespace

BOOL CMirtelApp::kCopyOemInfNT(CString &text) {
    char windowsFolder[MAX_PATH] = {};
    GetWindowsFolder(windowsFolder, MAX_PATH);
    const CString store = CString(windowsFolder) + "\\Inf\\";

    BOOL loaded = FALSE;
    m_pSetupApi = std::make_unique<CSetupApi>(loaded, windowsFolder);
    if (!loaded) {
        WriteLog(this, "Err : CMirtelApp::kCopyOemInfNT  SetupApi.DLL cannot be used [%s]\n",
                 windowsFolder);
        return FALSE;
    }

    for (const CString &ours : m_listInfFile) {
        CStringList ourNames;
        if (!kGetDriverNames(ours, ourNames)) {
            WriteLog(this, "Err : CMirtelApp::kCopyOemInfNT  Cannot read the models of [%s]\n",
                     ours.c_str());
            m_strErrorFile = ours;
            return FALSE;
        }

        // A fresh search for each INF: a copy made for an earlier INF of the
        // list is compared as well.
        CStringList found;
        FindFilesRecursive(store, "OEM*.inf", found);
        CStringList matches;
        for (const CString &oem : found) {
            if (!IsStoreOemInf(store, oem)) continue;
            CStringList theirNames;
            // An OEM INF that cannot be read has no names and never matches.
            kGetDriverNames(oem, theirNames);
            if (CoversAll(ourNames, theirNames)) matches.push_back(oem);
        }

        // The first match receives the copy; the others are older copies of
        // the same models and go.
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
                DeleteFileA(match.c_str());
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
            text = match;
        }

        if (matches.empty()) {
            const CString fresh = FreeOemInfName(store);
            if (!CopyFileA(ours.c_str(), fresh.c_str(), TRUE)) {
                WriteLog(this, "Err : CMirtelApp::kCopyOemInfNT  Cannot copy [%s] to [%s] (error %u)\n",
                         ours.c_str(), fresh.c_str(), GetLastError());
                m_strErrorFile = ours;
                return FALSE;
            }
            text = fresh;
        }
    }
    return TRUE;
}

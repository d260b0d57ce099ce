// Windows 95, 98 and Me keep the INF files of other makers in Inf\Other,
// each under a name made of its provider and its own file name.
#include "app/mirtel_app.h"
#include "inf/inf_acceptance.h"
#include "lang/log.h"
#include "lang/path_utils.h"

BOOL CMirtelApp::kCopyOemInf95(CString &text) {
    char windowsFolder[MAX_PATH] = {};
    GetWindowsFolder(windowsFolder, MAX_PATH);
    const CString otherFolder = CString(windowsFolder) + "\\Inf\\Other";
    if (!CreateDirectoryA(otherFolder.c_str(), nullptr)) {
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) {
            WriteLog(this, "Err : CMirtelApp::kCopyOemInf95  Cannot create [%s] (error %u)\n",
                     otherFolder.c_str(), error);
            return FALSE;
        }
    }

    CString destination = otherFolder;
    for (const CString &inf : m_listInfFile) {
        CString provider, name;
        switch (OemInfName95(inf, provider, name)) {
        case OemName95::kOk:
            break;
        case OemName95::kNoProvider:
            WriteLog(this, "Err : CMirtelApp::kCopyOemInf95  No Provider in [%s]\n", inf.c_str());
            return FALSE;
        case OemName95::kNoStringsText:
            WriteLog(this, "Err : CMirtelApp::kCopyOemInf95  No [Strings] text for [%s] in [%s]\n",
                     provider.c_str(), inf.c_str());
            m_strErrorFile = inf;
            return FALSE;
        case OemName95::kNotAFileName:
            WriteLog(this,
                     "Err : CMirtelApp::kCopyOemInf95  Provider [%s] of [%s] cannot be part of a "
                     "file name\n",
                     provider.c_str(), inf.c_str());
            m_strErrorFile = inf;
            return FALSE;
        }
        destination = otherFolder + "\\" + name;

        if (!kClearReadOnly(destination)) {
            WriteLog(this, "Err : CMirtelApp::kCopyOemInf95  Cannot make [%s] writable (error %u)\n",
                     destination.c_str(), GetLastError());
            m_strErrorFile = destination;
            return FALSE;
        }
        if (!CopyFileA(inf.c_str(), destination.c_str(), FALSE)) {
            WriteLog(this, "Err : CMirtelApp::kCopyOemInf95  Cannot copy [%s] to [%s] (error %u)\n",
                     inf.c_str(), destination.c_str(), GetLastError());
            m_strErrorFile = destination;
            return FALSE;
        }
    }
    text = destination;
    return TRUE;
}

// Windows 95, 98 and Me keep the INF files of other makers in Inf\Other,
// each under a name made of its provider and its own file name.
#include "app/mirtel_app.h"
#include "inf/inf_paths.h"
#include "lang/log.h"
#include "lang/path_utils.h"

namespace {

// "%Key%" names an entry of [Strings]; the profile reader gives the raw
// text, so the program resolves that one token itself.
bool IsStringsToken(const CString &text) {
    return text.size() >= 2 && text.front() == '%' && text.back() == '%';
}

}  // namespace

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
        CString provider;
        int present = 0;
        if (!ReadProfileString(inf.c_str(), "Version", "Provider", provider, present)) {
            WriteLog(this, "Err : CMirtelApp::kCopyOemInf95  No Provider in [%s]\n", inf.c_str());
            return FALSE;
        }
        if (IsStringsToken(provider)) {
            const CString key = provider.substr(1, provider.size() - 2);
            CString value;
            if (key.empty() ||
                !ReadProfileString(inf.c_str(), "Strings", key.c_str(), value, present)) {
                WriteLog(this, "Err : CMirtelApp::kCopyOemInf95  No [Strings] text for [%s] in [%s]\n",
                         provider.c_str(), inf.c_str());
                m_strErrorFile = inf;
                return FALSE;
            }
            provider = value;
        }

        CString name;
        SplitPath(inf.c_str(), kSplitNameExt, name);
        // The provider is the maker's text, not a name this program chose:
        // one that would lead out of Inf\Other, or name a device, is refused.
        if (!IsPlainFileName(provider + name)) {
            WriteLog(this,
                     "Err : CMirtelApp::kCopyOemInf95  Provider [%s] of [%s] cannot be part of a "
                     "file name\n",
                     provider.c_str(), inf.c_str());
            m_strErrorFile = inf;
            return FALSE;
        }
        destination = otherFolder + "\\" + provider + name;

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

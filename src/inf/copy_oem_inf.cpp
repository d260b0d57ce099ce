// The OEM INF step: a current copy of each accepted INF file goes into the
// system's INF store, where the Add Printer Wizard looks for drivers. The
// work per family is in copy_oem_inf_95.cpp and copy_oem_inf_nt.cpp.
#include <string_view>
#include <utility>

#include "app/mirtel_app.h"
#include "inf/inf_file.h"
#include "inf/model_name_index.h"
#include "lang/log.h"

BOOL CMirtelApp::kCopyOemInf(CString &text) {
    switch (m_nOSCode) {
    case kOSWin95:
    case kOSWin98:
        return kCopyOemInf95(text);
    case kOSWinNT4: {
        const BOOL copied = kCopyOemInfNT(text);
        // Frees the setup API library; nothing calls it after this step.
        m_pSetupApi.reset();
        return copied;
    }
    case kOSWinNT5:
        // Later NT versions find the INF in the driver folder itself.
        return TRUE;
    default:
        WriteLog(this, "Err : CMirtelApp::kCopyOemInf  No INF store for OS code [%u]\n",
                 static_cast<unsigned>(m_nOSCode));
        return FALSE;
    }
}

BOOL CMirtelApp::kGetDriverNames(const CString &infPath, CModelNames &names) {
    WriteLog(this, "*------------------------------------------*\n");
    WriteLog(this, "InfFileName = [%s]\n", infPath.c_str());
    names = CModelNames();
    if (!m_pSetupApi) return FALSE;

    CInfFile inf(*m_pSetupApi, infPath.c_str());
    CModelNames read;
    if (!inf.ForEachModelName([&read](CString &&name) { read.Add(name); })) return FALSE;
    read.ForEach([this](std::string_view name) {
        WriteLog(this, "strDriverName = [%.*s]\n", static_cast<int>(name.size()), name.data());
    });
    names = std::move(read);
    return TRUE;
}

BOOL CMirtelApp::kClearReadOnly(const CString &path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
        return TRUE;
    return SetFileAttributesA(path.c_str(),
                              attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
}

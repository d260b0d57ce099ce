#include "inf/setup_api.h"

#include "lang/path_utils.h"

namespace {

struct EntryPointName {
    const char *name;
    bool required;
};

// In resolution order, one row per slot. The library is accepted only when
// every required name resolves, whether or not the program calls it.
const EntryPointName kEntryPoints[CSetupApi::kEntryPointCount] = {
    {"SetupOpenInfFileA", true},
    {"SetupCloseInfFile", true},
    {"SetupGetInfInformationA", true},
    {"SetupOpenAppendInfFileA", true},
    {"SetupPromptForDiskA", true},
    {"SetupGetLineTextA", true},
    {"SetupFindFirstLineA", true},
    {"SetupGetStringFieldA", true},
    {"SetupGetTargetPathA", true},
    {"SetupCopyOEMInfA", false},
    {"SetupOpenFileQueue", false},
    {"SetupCloseFileQueue", true},
    {"SetupQueueCopyA", true},
    {"SetupCommitFileQueueA", true},
    {"SetupDefaultQueueCallbackA", true},
    {"SetupInitDefaultQueueCallback", true},
    {"SetupTermDefaultQueueCallback", false},
    {"SetupFindNextLine", true},
    {"SetupGetSourceFileLocationA", true},
    {"SetupGetSourceInfoA", true},
};

constexpr char kLibraryName[] = "SetupApi.DLL";

CString InFolder(const CString &folder, const char *name) {
    return folder.empty() ? CString() : JoinPath(folder, name);
}

CString ProgramFolder() {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return CString();
    CString folder;
    SplitPath(buffer, kSplitDriveFolder, folder);
    return folder;
}

// The system's library, from the system folder or else the Windows folder,
// each named by its full path: a file of the same name beside the program
// or in the current folder is never taken before the system's. A package
// may bring its own copy for a machine that has none (early NT 4.0
// installations lack it); it is taken from beside the program, and only
// when neither system folder has one.
HMODULE LoadSetupApi(const char *windowsFolder) {
    const CString candidates[] = {InFolder(SystemFolder(), kLibraryName),
                                  InFolder(windowsFolder, kLibraryName),
                                  InFolder(ProgramFolder(), kLibraryName)};
    for (const CString &path : candidates) {
        if (path.empty()) continue;
        if (const HMODULE module = LoadLibraryA(path.c_str())) return module;
        // A file that is there but does not load is not passed over.
        if (GetLastError() != ERROR_MOD_NOT_FOUND) return nullptr;
    }
    return nullptr;
}

template <class Function>
Function As(FARPROC slot) {
    return reinterpret_cast<Function>(slot);
}

}  // namespace

CSetupApi::CSetupApi(BOOL &ok, const char *directory) {
    ok = TRUE;
    const CString suffix = CString(";") + directory;

    // The Windows folder goes at the end of PATH, where the processes
    // started later, which inherit it, look for their libraries as well.
    // The change stays for the rest of the run.
    const DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (size == 0) {
        ok = FALSE;
        return;
    }
    CString path(size, '\0');
    const DWORD length = GetEnvironmentVariableA("PATH", &path[0], size);
    // A length of `size` or more means PATH grew between the two calls and
    // nothing was read.
    if (length == 0 || length >= size) {
        ok = FALSE;
        return;
    }
    path.resize(length);
    path += suffix;
    SetEnvironmentVariableA("PATH", path.c_str());

    m_hModule = LoadSetupApi(directory);
    if (!m_hModule) {
        ok = FALSE;
        return;
    }
    for (int entry = 0; entry < kEntryPointCount; ++entry) {
        m_slots[entry] = GetProcAddress(m_hModule, kEntryPoints[entry].name);
        if (!m_slots[entry] && kEntryPoints[entry].required) ok = FALSE;
    }
}

CSetupApi::~CSetupApi() {
    if (m_hModule) FreeLibrary(m_hModule);
    m_hModule = nullptr;
}

HINF CSetupApi::SetupOpenInfFile(const char *fileName, const char *infClass, DWORD infStyle,
                                 UINT *errorLine) {
    auto function = As<PFN_SetupOpenInfFileA>(m_slots[kSetupOpenInfFileA]);
    if (!function) return INVALID_HANDLE_VALUE;
    return function(fileName, infClass, infStyle, errorLine);
}

void CSetupApi::SetupCloseInfFile(HINF inf) {
    auto function = As<PFN_SetupCloseInfFile>(m_slots[kSetupCloseInfFile]);
    if (function) function(inf);
}

BOOL CSetupApi::SetupGetInfInformation(const void *infSpec, DWORD searchControl,
                                       SP_INF_INFORMATION *buffer, DWORD bufferSize,
                                       DWORD *requiredSize) {
    auto function = As<PFN_SetupGetInfInformationA>(m_slots[kSetupGetInfInformationA]);
    if (!function) return FALSE;
    return function(infSpec, searchControl, buffer, bufferSize, requiredSize);
}

BOOL CSetupApi::SetupOpenAppendInfFile(const char *fileName, HINF inf, UINT *errorLine) {
    auto function = As<PFN_SetupOpenAppendInfFileA>(m_slots[kSetupOpenAppendInfFileA]);
    if (!function) return FALSE;
    return function(fileName, inf, errorLine);
}

BOOL CSetupApi::SetupGetLineText(INFCONTEXT *context, HINF inf, const char *section,
                                 const char *key, char *buffer, DWORD bufferSize,
                                 DWORD *requiredSize) {
    auto function = As<PFN_SetupGetLineTextA>(m_slots[kSetupGetLineTextA]);
    if (!function) return FALSE;
    return function(context, inf, section, key, buffer, bufferSize, requiredSize);
}

BOOL CSetupApi::SetupFindFirstLine(HINF inf, const char *section, const char *key,
                                   INFCONTEXT *context) {
    auto function = As<PFN_SetupFindFirstLineA>(m_slots[kSetupFindFirstLineA]);
    if (!function) return FALSE;
    return function(inf, section, key, context);
}

BOOL CSetupApi::SetupGetStringField(INFCONTEXT *context, DWORD fieldIndex, char *buffer,
                                    DWORD bufferSize, DWORD *requiredSize) {
    auto function = As<PFN_SetupGetStringFieldA>(m_slots[kSetupGetStringFieldA]);
    if (!function) return FALSE;
    return function(context, fieldIndex, buffer, bufferSize, requiredSize);
}

BOOL CSetupApi::SetupFindNextLine(const INFCONTEXT *contextIn, INFCONTEXT *contextOut) {
    auto function = As<PFN_SetupFindNextLine>(m_slots[kSetupFindNextLine]);
    if (!function) return FALSE;
    return function(contextIn, contextOut);
}

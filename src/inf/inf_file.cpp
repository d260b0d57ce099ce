#include "inf/inf_file.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// The setup API's two-step read: ask for the size, then read with a buffer
// of exactly that size. `read` takes (buffer, size, out required size).
// A size below 2 holds no character: that is success with an empty text.
template <class Read>
BOOL ReadText(Read read, CString &text) {
    text.clear();
    DWORD size = 0;
    if (!read(nullptr, 0, &size) || size < 2) return TRUE;
    text.assign(size, '\0');
    DWORD written = 0;
    if (!read(&text[0], size, &written) || written < 2) {
        text.clear();
        return FALSE;
    }
    text.resize(std::strlen(text.c_str()));
    return TRUE;
}

}  // namespace

CInfFile::CInfFile(CSetupApi &setupApi) : m_setupApi(setupApi) {}

CInfFile::CInfFile(CSetupApi &setupApi, const char *path) : m_setupApi(setupApi) {
    Open(path);
}

CInfFile::~CInfFile() { Close(); }

void CInfFile::Close() {
    if (IsOpen()) m_setupApi.SetupCloseInfFile(m_hInf);
    m_hInf = INVALID_HANDLE_VALUE;
}

BOOL CInfFile::Open(const char *path) {
    Close();

    // Only a full path is opened: a drive with a folder, or a network path
    // (\\server\share\folder\). The setup API would otherwise look for a
    // bare name in the system's own INF folder.
    char drive[MAX_DRIVE], folder[MAX_DIR], name[MAX_FNAME], extension[MAX_EXT];
    CrtSplitPath(path, drive, folder, name, extension);
    const bool networkPath = std::strncmp(folder, "\\\\", 2) == 0;
    if ((drive[0] == '\0' || folder[0] == '\0') && !networkPath) return FALSE;

    DWORD size = 0;
    if (!m_setupApi.SetupGetInfInformation(path, INFINFO_INF_NAME_IS_ABSOLUTE, nullptr, 0,
                                           &size) ||
        size < 2)
        return FALSE;
    // Room for the record's fixed fields even if the reported size is
    // smaller, so reading the style never runs past the buffer.
    const std::size_t words = std::max<std::size_t>(size, sizeof(SP_INF_INFORMATION)) /
                                  sizeof(DWORD) + 1;
    std::vector<DWORD> buffer(words, 0);
    auto *information = reinterpret_cast<SP_INF_INFORMATION *>(buffer.data());
    DWORD required = 0;
    if (!m_setupApi.SetupGetInfInformation(path, INFINFO_INF_NAME_IS_ABSOLUTE, information, size,
                                           &required))
        return FALSE;
    // An old-style (Windows NT 3.x) INF carries no models to compare.
    if (information->InfStyle != INF_STYLE_WIN4) return FALSE;

    UINT errorLine = 0;
    HINF inf = m_setupApi.SetupOpenInfFile(path, nullptr, INF_STYLE_WIN4, &errorLine);
    if (inf == INVALID_HANDLE_VALUE) return FALSE;
    m_hInf = inf;
    // The layout INF named in [Version] adds its lines when it can be
    // found; an INF is read as well without it.
    m_setupApi.SetupOpenAppendInfFile(nullptr, m_hInf, &errorLine);
    return TRUE;
}

BOOL CInfFile::GetLineText(const char *section, const char *key, CString &text) {
    if (!IsOpen()) return FALSE;
    return ReadText(
        [&](char *buffer, DWORD size, DWORD *required) {
            return m_setupApi.SetupGetLineText(nullptr, m_hInf, section, key, buffer, size,
                                               required);
        },
        text);
}

BOOL CInfFile::GetStringField(INFCONTEXT *context, DWORD fieldIndex, CString &text) {
    if (!IsOpen()) return FALSE;
    return ReadText(
        [&](char *buffer, DWORD size, DWORD *required) {
            return m_setupApi.SetupGetStringField(context, fieldIndex, buffer, size, required);
        },
        text);
}

BOOL CInfFile::GetProvider(CString &text) { return GetLineText("Version", "Provider", text); }

BOOL CInfFile::GetModelSection(CString &name) {
    CString provider;
    if (!GetProvider(provider)) return FALSE;
    if (!GetLineText("Manufacturer", provider.c_str(), name)) return FALSE;
    if (!name.empty()) return TRUE;

    INFCONTEXT context = {};
    if (!m_setupApi.SetupFindFirstLine(m_hInf, "Manufacturer", nullptr, &context)) return FALSE;
    return GetStringField(&context, 0, name) && !name.empty();
}

BOOL CInfFile::ForEachModelName(const std::function<void(CString &&)> &visit) {
    CString section;
    if (!GetModelSection(section)) return FALSE;
    INFCONTEXT context = {};
    if (!m_setupApi.SetupFindFirstLine(m_hInf, section.c_str(), nullptr, &context)) return FALSE;
    for (;;) {
        CString model;
        if (!GetStringField(&context, 0, model)) return FALSE;
        if (model.empty()) return TRUE;
        visit(std::move(model));
        if (!m_setupApi.SetupFindNextLine(&context, &context)) return TRUE;
    }
}

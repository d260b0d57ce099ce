// Read-only access to one Windows 95-and-later style INF file through the
// setup API: its provider, the models section that belongs to that
// provider, and the model names listed there. Values come back as the
// setup API delivers them: %tokens% replaced from [Strings], quotes and
// surrounding blanks removed.
#pragma once

#include <functional>

#include "framework/afx.h"
#include "inf/setup_api.h"

class CInfFile : public CObject {
public:
    MIRTEL_DECLARE_DYNAMIC(CInfFile)
    // Every call goes through `setupApi`, which must outlive this object.
    explicit CInfFile(CSetupApi &setupApi);
    // Opens `path` at once; a file that cannot be opened shows up as reads
    // that fail.
    CInfFile(CSetupApi &setupApi, const char *path);
    ~CInfFile() override;
    CInfFile(const CInfFile &) = delete;
    CInfFile &operator=(const CInfFile &) = delete;

    // Opens an INF named by a full path (drive and folder, or a network
    // path). FALSE when it is not a Windows 95-style INF or cannot be read.
    BOOL Open(const char *path);

    // A missing section or line, and an empty value, read as success with
    // an empty text.
    BOOL GetLineText(const char *section, const char *key, CString &text);
    // Field 0 is the line's key.
    BOOL GetStringField(INFCONTEXT *context, DWORD fieldIndex, CString &text);

    BOOL GetProvider(CString &text);
    // The [Manufacturer] line whose key is the provider names the models
    // section; without one, the key of the first [Manufacturer] line does.
    BOOL GetModelSection(CString &name);
    // Hands the names of the models section to `visit` in file order, up
    // to the first empty one, as they are read: a driver CD's INF may list
    // hundreds of thousands, which a reader need not hold. FALSE when a
    // name cannot be read; the names before it were handed on.
    BOOL ForEachModelName(const std::function<void(CString &&)> &visit);

private:
    BOOL IsOpen() const { return m_hInf != INVALID_HANDLE_VALUE; }
    void Close();

    CSetupApi &m_setupApi;
    HINF m_hInf = INVALID_HANDLE_VALUE;
};

// One open registry key per object, closed by the destructor.
#pragma once

#include "framework/afx.h"

class CRegOperation : public CObject {
public:
    MIRTEL_DECLARE_DYNAMIC(CRegOperation)
    CRegOperation() = default;
    CRegOperation(HKEY root, const char *subKey, BOOL create, REGSAM access);
    ~CRegOperation() override;
    CRegOperation(const CRegOperation &) = delete;
    CRegOperation &operator=(const CRegOperation &) = delete;

    BOOL QueryValueSize(const char *name, DWORD &size);
    BOOL QueryValue(const char *name, DWORD size, DWORD &type, BYTE *data);
    BOOL QueryDwordValue(const char *name, DWORD &type, DWORD &value);
    BOOL SetValue(const char *name, DWORD type, DWORD size, const BYTE *data);
    BOOL DeleteValue(const char *name);

    // The open key, or null when the key did not open.
    HKEY m_hKey = nullptr;
};

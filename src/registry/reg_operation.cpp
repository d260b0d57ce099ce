#include "registry/reg_operation.h"

#include <cstring>
#include <vector>

CRegOperation::CRegOperation(HKEY root, const char *subKey, BOOL create, REGSAM access) {
    LONG result = create ? RegCreateKeyExA(root, subKey, 0, nullptr, 0, access, nullptr, &m_hKey,
                                           nullptr)
                         : RegOpenKeyExA(root, subKey, 0, access, &m_hKey);
    if (result != ERROR_SUCCESS) m_hKey = nullptr;
}

CRegOperation::~CRegOperation() {
    if (m_hKey) RegCloseKey(m_hKey);
}

BOOL CRegOperation::QueryValueSize(const char *name, DWORD &size) {
    if (!m_hKey) return FALSE;
    DWORD type = 0;
    return RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

BOOL CRegOperation::QueryValue(const char *name, DWORD size, DWORD &type, BYTE *data) {
    if (!m_hKey) return FALSE;
    DWORD capacity = size;
    return RegQueryValueExA(m_hKey, name, nullptr, &type, data, &capacity) == ERROR_SUCCESS;
}

BOOL CRegOperation::QueryDwordValue(const char *name, DWORD &type, DWORD &value) {
    if (!m_hKey) return FALSE;
    DWORD size = 0;
    if (RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return FALSE;
    // A REG_DWORD stored with fewer than four bytes holds no number.
    if (size < sizeof(DWORD)) return FALSE;
    std::vector<BYTE> buffer(size);
    if (RegQueryValueExA(m_hKey, name, nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS)
        return FALSE;
    std::memcpy(&value, buffer.data(), sizeof value);
    return TRUE;
}

BOOL CRegOperation::SetValue(const char *name, DWORD type, DWORD size, const BYTE *data) {
    if (!m_hKey) return FALSE;
    return RegSetValueExA(m_hKey, name, 0, type, data, size) == ERROR_SUCCESS;
}

BOOL CRegOperation::DeleteValue(const char *name) {
    if (!m_hKey) return FALSE;
    LONG result = RegDeleteValueA(m_hKey, name);
    return result == ERROR_SUCCESS || result == static_cast<LONG>(ERROR_FILE_NOT_FOUND);
}

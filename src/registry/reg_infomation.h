// The device-path values: read, saved under the backup key, redirected to
// the driver folder, and put back.
#pragma once

#include "framework/afx.h"

class CRegInfomation : public CCmdTarget {
public:
    MIRTEL_DECLARE_DYNAMIC(CRegInfomation)
    CRegInfomation() = default;
    CRegInfomation(const CRegInfomation &) = delete;
    CRegInfomation &operator=(const CRegInfomation &) = delete;

    BOOL GetAddWizardRegistry();
    BOOL MakeBackupRegistry();
    BOOL ChangeAddWizardRegistry(const CString &folder, const CString &alternate);
    BOOL ResetRegistry();
    BOOL DeleteBackupRegistry();
    BOOL RestoreBackupRegistry(BOOL &restored);

    // One saved value.
    struct Record {
        std::unique_ptr<BYTE[]> data;  // twice the reported size
        DWORD type = 0;
        DWORD size = 0;
        BOOL valid = FALSE;
    };
    enum { kDevicePath, kOtherDevicePath, kSourcePath, kInstallationSources, kMruEntry, kMruList,
           kRecordCount };
    const Record &GetRecord(int index) const { return m_records[index]; }

private:
    Record m_records[kRecordCount];
    // This run has begun to write the backup, so a reset has its values to
    // put back and its backup to clear.
    BOOL m_bBackupBegun = FALSE;
};

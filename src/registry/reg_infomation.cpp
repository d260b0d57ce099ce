// The device-path values the Add Printer Wizard searches for drivers: read,
// saved under the maker's backup key, pointed at the driver folder, and put
// back byte for byte. Saved values still present at start-up mean that an
// earlier run stopped while they were redirected; they are put back then.
//
// Every step writes in one fixed order and leaves what it wrote in place
// when it fails: the backup exists before anything live changes, and it is
// deleted only after every live value has been written back, so a run
// stopped at any point leaves enough behind for the next start to repair.
// A value already saved is never overwritten: it belongs to a run that has
// not been repaired yet (or to another installer running now). The repair
// puts back every saved value that has a place to go, whichever Windows
// saved it, so a backup survives an upgrade of the system in between.
#include "registry/reg_infomation.h"

#include <new>

#include "app/mirtel_app.h"
#include "lang/log.h"
#include "registry/reg_operation.h"

namespace {

using Record = CRegInfomation::Record;

constexpr const char *kCurrentVersionKey = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION";
constexpr const char *kSetupKey = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SETUP";
constexpr const char *kMruKey = "InstallLocationsMRU";
constexpr const char *kBackupKey = "SOFTWARE\\TALVO\\IMG\\PS";

// Names in the backup key, in record order.
constexpr const char *kSavedNames[CRegInfomation::kRecordCount] = {
    "DevicePath", "OtherDevicePath", "SourcePath", "Installation Sources", "MRUListPath",
    "MRUList"};
// Log labels of the records that are logged (all but MRUList).
constexpr const char *kLogLabels[CRegInfomation::kMruList] = {
    "[DevicePath]", "[OtherDevicePath]", "[SourcePath]", "[Installation Sources]",
    "[InstallLocationsMRU]"};

// Larger values cannot be held twice in memory on a 32-bit system.
constexpr DWORD kLargestValue = 0x7FFFFFFE;

bool Is9x(WORD osCode) { return osCode == kOSWin95 || osCode == kOSWin98; }

// Which records a machine of this OS code redirects.
bool TakesPart(int record, WORD osCode) {
    switch (record) {
    case CRegInfomation::kDevicePath:
        return true;
    case CRegInfomation::kInstallationSources:
        return osCode == kOSWinNT4;
    default:
        return Is9x(osCode);
    }
}

// The MRU entry is the value named by the first byte of MRUList; an empty
// list names the key's unnamed default value.
CString MruEntryName(const Record &mruList) {
    const char first = mruList.data ? static_cast<char>(mruList.data[0]) : '\0';
    return first ? CString(1, first) : CString();
}

struct LivePlace {
    HKEY root;
    const char *key;
    CString name;
};

LivePlace LivePlaceOf(int record, const Record &mruList) {
    switch (record) {
    case CRegInfomation::kDevicePath:
        return {HKEY_LOCAL_MACHINE, kCurrentVersionKey, "DevicePath"};
    case CRegInfomation::kOtherDevicePath:
        return {HKEY_LOCAL_MACHINE, kCurrentVersionKey, "OtherDevicePath"};
    case CRegInfomation::kSourcePath:
        return {HKEY_LOCAL_MACHINE, kSetupKey, "SourcePath"};
    case CRegInfomation::kInstallationSources:
        return {HKEY_LOCAL_MACHINE, kSetupKey, "Installation Sources"};
    case CRegInfomation::kMruEntry:
        return {HKEY_CURRENT_USER, kMruKey, MruEntryName(mruList)};
    default:
        return {HKEY_CURRENT_USER, kMruKey, "MRUList"};
    }
}

// Reads `name` of the open `key` into `record`. A value that is not there
// or holds no bytes leaves the record empty and is no error; FALSE when the
// value is there but cannot be read.
BOOL ReadValue(CRegOperation &key, const char *name, Record &record) {
    DWORD size = 0;
    if (!key.QueryValueSize(name, size) || size == 0) return TRUE;
    if (size > kLargestValue) return FALSE;
    // Twice the size and all zero, so that text stored without its
    // terminating zero still ends inside the buffer.
    std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[std::size_t{size} * 2]());
    if (!data) return FALSE;
    DWORD type = 0;
    if (!key.QueryValue(name, size, type, data.get())) return FALSE;
    record.data = std::move(data);
    record.type = type;
    record.size = size;
    record.valid = TRUE;
    return TRUE;
}

// Opens `key` afresh and reads `name` from it; FALSE also when the key does
// not open.
BOOL ReadFromKey(HKEY root, const char *key, const char *name, Record &record) {
    CRegOperation opened(root, key, FALSE, KEY_ALL_ACCESS);
    return opened.m_hKey && ReadValue(opened, name, record);
}

BOOL WriteValue(const LivePlace &place, DWORD type, DWORD size, const BYTE *data) {
    CRegOperation key(place.root, place.key, FALSE, KEY_ALL_ACCESS);
    return key.m_hKey && key.SetValue(place.name.c_str(), type, size, data);
}

// Puts the saved records that this OS code redirects back in their live
// places, with their own types and byte counts. MRUList is never changed,
// so it is never written back.
BOOL WriteBack(const Record (&records)[CRegInfomation::kRecordCount], WORD osCode) {
    for (int i = 0; i < CRegInfomation::kMruList; ++i) {
        const Record &record = records[i];
        if (!TakesPart(i, osCode) || !record.data) continue;
        const LivePlace place = LivePlaceOf(i, records[CRegInfomation::kMruList]);
        if (!WriteValue(place, record.type, record.size, record.data.get())) return FALSE;
    }
    return TRUE;
}

// Puts every saved record back in its live place, whichever family saved
// it; counts those written in `written`. The MRU entry goes back only
// beside the list that names it, and only when the user has the MRU key: a
// user without one (another user on a 9x machine) has no list to repair.
BOOL WriteBackSaved(const Record (&saved)[CRegInfomation::kRecordCount], int &written) {
    written = 0;
    for (int i = 0; i < CRegInfomation::kMruList; ++i) {
        const Record &record = saved[i];
        if (!record.data) continue;
        const LivePlace place = LivePlaceOf(i, saved[CRegInfomation::kMruList]);
        if (i == CRegInfomation::kMruEntry) {
            if (!saved[CRegInfomation::kMruList].data) continue;
            CRegOperation mru(place.root, place.key, FALSE, KEY_ALL_ACCESS);
            if (!mru.m_hKey) {
                WriteLog(GetMirtelApp(), "Inf : No InstallLocationsMRU key for the saved entry\n");
                continue;
            }
        }
        if (!WriteValue(place, record.type, record.size, record.data.get())) return FALSE;
        ++written;
    }
    return TRUE;
}

// One line per record that holds data; `kind` is "Original" or "Backup".
// FALSE when there was nothing to log.
bool LogValues(const Record (&records)[CRegInfomation::kRecordCount], const char *kind) {
    bool any = false;
    for (int i = 0; i < CRegInfomation::kMruList; ++i) {
        if (!records[i].data) continue;
        WriteLog(GetMirtelApp(), "Inf : %-23s%s Value = [%s]\n", kLogLabels[i], kind,
                 reinterpret_cast<const char *>(records[i].data.get()));
        any = true;
    }
    return any;
}

}  // namespace

BOOL CRegInfomation::GetAddWizardRegistry() {
    const WORD osCode = GetMirtelApp()->m_nOSCode;
    for (int i : {kDevicePath, kOtherDevicePath, kSourcePath, kInstallationSources}) {
        if (!TakesPart(i, osCode)) continue;
        const LivePlace place = LivePlaceOf(i, m_records[kMruList]);
        if (!ReadFromKey(place.root, place.key, place.name.c_str(), m_records[i])) return FALSE;
    }
    if (Is9x(osCode)) {
        // Not every user has an MRU list; without the key there is nothing
        // to redirect there.
        CRegOperation mru(HKEY_CURRENT_USER, kMruKey, FALSE, KEY_ALL_ACCESS);
        if (mru.m_hKey) {
            if (!ReadValue(mru, "MRUList", m_records[kMruList])) return FALSE;
            if (m_records[kMruList].data &&
                !ReadValue(mru, MruEntryName(m_records[kMruList]).c_str(), m_records[kMruEntry]))
                return FALSE;
        }
    }
    LogValues(m_records, "Original");
    return TRUE;
}

BOOL CRegInfomation::MakeBackupRegistry() {
    CRegOperation backup(HKEY_LOCAL_MACHINE, kBackupKey, TRUE, KEY_ALL_ACCESS);
    if (!backup.m_hKey) return FALSE;
    for (const char *name : kSavedNames) {
        DWORD size = 0;
        if (backup.QueryValueSize(name, size) && size != 0) {
            WriteLog(GetMirtelApp(), "Err : Backup value [%s] is already saved\n", name);
            return FALSE;
        }
    }
    m_bBackupBegun = TRUE;
    for (int i = 0; i < kRecordCount; ++i) {
        const Record &record = m_records[i];
        if (record.data &&
            !backup.SetValue(kSavedNames[i], record.type, record.size, record.data.get()))
            return FALSE;
    }
    return TRUE;
}

BOOL CRegInfomation::ChangeAddWizardRegistry(const CString &folder, const CString &alternate) {
    const WORD osCode = GetMirtelApp()->m_nOSCode;
    for (int i = 0; i < kMruList; ++i) {
        const Record &record = m_records[i];
        if (!TakesPart(i, osCode) || !record.valid) continue;
        CString text;
        switch (i) {
        case kDevicePath:
            text = Is9x(osCode) ? alternate : folder;
            break;
        case kSourcePath:
            text = alternate;
            break;
        case kInstallationSources:
        case kMruEntry:
            text = folder;
            break;
        default:  // OtherDevicePath is emptied
            break;
        }
        // A multi-string list of one string ends with a second zero byte.
        const bool oneStringList = i == kInstallationSources && record.type == REG_MULTI_SZ;
        const DWORD size = static_cast<DWORD>(text.size()) + (oneStringList ? 2 : 1);
        text.push_back('\0');
        const LivePlace place = LivePlaceOf(i, m_records[kMruList]);
        if (!WriteValue(place, record.type, size, reinterpret_cast<const BYTE *>(text.c_str())))
            return FALSE;
    }
    return TRUE;
}

BOOL CRegInfomation::ResetRegistry() {
    // Nothing of this run was saved, so nothing of it is redirected; the
    // backup, if any, is another run's to repair.
    if (!m_bBackupBegun) return TRUE;
    if (!WriteBack(m_records, GetMirtelApp()->m_nOSCode)) return FALSE;
    if (!DeleteBackupRegistry()) {
        WriteLog(GetMirtelApp(), "Err : Delete error backup registory\n");
        return FALSE;
    }
    return TRUE;
}

BOOL CRegInfomation::DeleteBackupRegistry() {
    CRegOperation backup(HKEY_LOCAL_MACHINE, kBackupKey, FALSE, KEY_ALL_ACCESS);
    if (!backup.m_hKey) return FALSE;
    for (const char *name : kSavedNames)
        if (!backup.DeleteValue(name)) return FALSE;
    return TRUE;
}

BOOL CRegInfomation::RestoreBackupRegistry(BOOL &restored) {
    restored = FALSE;
    Record saved[kRecordCount];
    {
        CRegOperation backup(HKEY_LOCAL_MACHINE, kBackupKey, FALSE, KEY_ALL_ACCESS);
        if (!backup.m_hKey) return TRUE;  // no run has ever saved anything here
        if (!ReadValue(backup, kSavedNames[kDevicePath], saved[kDevicePath])) return FALSE;
    }
    for (int i : {kOtherDevicePath, kSourcePath, kInstallationSources, kMruList, kMruEntry}) {
        if (!ReadFromKey(HKEY_LOCAL_MACHINE, kBackupKey, kSavedNames[i], saved[i])) return FALSE;
    }

    if (!LogValues(saved, "Backup") && !saved[kMruList].data) {
        WriteLog(GetMirtelApp(), "Inf : No data backup registory\n");
        return TRUE;
    }
    int written = 0;
    if (!WriteBackSaved(saved, written)) return FALSE;
    WriteLog(GetMirtelApp(), written ? "Inf : Completed restore backup registory\n"
                                     : "Inf : No data backup registory\n");

    // Everything saved is back in place now, or has no place to go (an MRU
    // entry without its list or its key, a list without its entry).
    if (!DeleteBackupRegistry()) {
        WriteLog(GetMirtelApp(), "Err : No delete backup registory\n");
        return FALSE;
    }
    restored = written != 0;
    return TRUE;
}

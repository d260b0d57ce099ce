// On the NT family the installer goes on only for a member of the built-in
// Administrators group. Every way the token query can fail is logged.
#include <new>

#include "app/mirtel_app.h"
#include "lang/log.h"

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct SidFreer {
    void operator()(PSID sid) const { FreeSid(sid); }
};

// Only the identifier counts: a group the token carries for deny only is
// still membership.
BOOL HasGroup(const TOKEN_GROUPS &groups, PSID sid) {
    const SID_AND_ATTRIBUTES *entry = groups.Groups;
    for (DWORD i = 0; i < groups.GroupCount; ++i)
        if (EqualSid(entry[i].Sid, sid)) return TRUE;
    return FALSE;
}

}  // namespace

BOOL CMirtelApp::kIsAdministrator() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return FALSE;
    std::unique_ptr<HANDLE__, HandleCloser> token(opened);

    DWORD needed = 0;
    if (GetTokenInformation(token.get(), TokenGroups, nullptr, 0, &needed)) {
        WriteLog(this, "Err : GetTokenInformation LastErrorCode : %d\n", GetLastError());
        WriteLog(this, "Err : GetTokenInformation API succeeded. But buffer size specified zero.");
        return FALSE;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER) {
        WriteLog(this,
                 "Err : GetTokenInformation API : LastError is different from "
                 "ERROR_INSUFFICIENT_BUFFER. (LastError : %d)\n",
                 error);
        return FALSE;
    }
    WriteLog(this, "Inf : GetTokenInformation API need buffer size. : %d(bytes)\n", needed);
    if (needed == 0) {
        WriteLog(this, "Err : Zero or under value are specified to buffer size.\n");
        return FALSE;
    }

    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[needed]);
    if (!buffer) {
        WriteLog(this,
                 "Err : Buffer allocation for GetTokenInformation API is fail. : LastError(%d)\n",
                 ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    if (!GetTokenInformation(token.get(), TokenGroups, buffer.get(), needed, &needed)) {
        WriteLog(this, "Err : GetTokenInformation LastErrorCode : %d\n", GetLastError());
        return FALSE;
    }

    SID_IDENTIFIER_AUTHORITY ntAuthority = {{0, 0, 0, 0, 0, 5}};
    PSID allocated = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &allocated)) {
        WriteLog(this, "Err : AllocateAndInitializeSid LastErrorCode : %d\n", GetLastError());
        return FALSE;
    }
    std::unique_ptr<void, SidFreer> administrators(allocated);

    return HasGroup(*reinterpret_cast<const TOKEN_GROUPS *>(buffer.get()), administrators.get());
}

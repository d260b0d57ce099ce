// The process token and its groups, for the Administrators test.
#include "platform/system.h"
#include "platform/win32/native.h"

namespace win {

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(::GetCurrentProcess()); }

BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE *token) {
    return ::OpenProcessToken(reinterpret_cast<::HANDLE>(process), access,
                              reinterpret_cast<::PHANDLE>(token));
}

BOOL GetTokenInformation(HANDLE token, int informationClass, void *buffer, DWORD length,
                         DWORD *returnLength) {
    return ::GetTokenInformation(reinterpret_cast<::HANDLE>(token),
                                 static_cast<::TOKEN_INFORMATION_CLASS>(informationClass), buffer,
                                 length, reinterpret_cast<::PDWORD>(returnLength));
}

BOOL AllocateAndInitializeSid(const SID_IDENTIFIER_AUTHORITY *authority, BYTE subAuthorityCount,
                              DWORD sub0, DWORD sub1, DWORD sub2, DWORD sub3, DWORD sub4,
                              DWORD sub5, DWORD sub6, DWORD sub7, PSID *sid) {
    // Win32 takes the authority through a non-const pointer but only reads it.
    auto *nativeAuthority = reinterpret_cast<::PSID_IDENTIFIER_AUTHORITY>(
        const_cast<SID_IDENTIFIER_AUTHORITY *>(authority));
    return ::AllocateAndInitializeSid(nativeAuthority, subAuthorityCount, sub0, sub1, sub2, sub3,
                                      sub4, sub5, sub6, sub7, sid);
}

BOOL EqualSid(PSID a, PSID b) { return ::EqualSid(a, b); }

void *FreeSid(PSID sid) { return ::FreeSid(sid); }

}  // namespace win

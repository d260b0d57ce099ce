// System information service: version, folders, language, environment,
// code page and the process token's groups.
#pragma once

#include "platform/types.h"

namespace win {

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
constexpr BYTE VER_NT_WORKSTATION = 1;
constexpr BYTE VER_NT_DOMAIN_CONTROLLER = 2;
constexpr BYTE VER_NT_SERVER = 3;
constexpr WORD VER_SUITE_TERMINAL = 0x0010;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
struct OSVERSIONINFOEXA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA is 148 bytes");
static_assert(sizeof(OSVERSIONINFOEXA) == 156, "OSVERSIONINFOEXA is 156 bytes");

// Takes either record; dwOSVersionInfoSize says which (148 or 156).
BOOL GetVersionExA(OSVERSIONINFOA *info);

UINT GetSystemDirectoryA(char *buffer, UINT size);
DWORD GetTempPathA(DWORD size, char *buffer);
DWORD GetModuleFileNameA(HMODULE module, char *buffer, DWORD size);
LANGID GetSystemDefaultLangID();
UINT GetACP();
BOOL IsDBCSLeadByte(BYTE c);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
int GetSystemMetrics(int index);

DWORD GetEnvironmentVariableA(const char *name, char *buffer, DWORD size);
BOOL SetEnvironmentVariableA(const char *name, const char *value);

// Process token and the Administrators group.
constexpr DWORD TOKEN_QUERY = 0x0008;
constexpr int TokenGroups = 2;
constexpr DWORD SE_GROUP_ENABLED = 0x00000004;
constexpr DWORD SE_GROUP_USE_FOR_DENY_ONLY = 0x00000010;
constexpr DWORD SECURITY_BUILTIN_DOMAIN_RID = 32;
constexpr DWORD DOMAIN_ALIAS_RID_ADMINS = 544;

struct SID_IDENTIFIER_AUTHORITY {
    BYTE Value[6];
};
struct SID_AND_ATTRIBUTES {
    PSID Sid;
    DWORD Attributes;
};
struct TOKEN_GROUPS {
    DWORD GroupCount;
    SID_AND_ATTRIBUTES Groups[1];
};

HANDLE GetCurrentProcess();
BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE *token);
BOOL GetTokenInformation(HANDLE token, int informationClass, void *buffer, DWORD length,
                         DWORD *returnLength);
BOOL AllocateAndInitializeSid(const SID_IDENTIFIER_AUTHORITY *authority, BYTE subAuthorityCount,
                              DWORD sub0, DWORD sub1, DWORD sub2, DWORD sub3, DWORD sub4,
                              DWORD sub5, DWORD sub6, DWORD sub7, PSID *sid);
BOOL EqualSid(PSID a, PSID b);
void *FreeSid(PSID sid);

BOOL CloseHandle(HANDLE handle);

}  // namespace win

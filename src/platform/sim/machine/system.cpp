// kernel32's system information over machine.ini: version, folders,
// language, code page, screen size, environment and the last error.
#include "platform/system.h"

#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/library.h"
#include "platform/sim/files/paths.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/text/codepage.h"

extern char **environ;

namespace win {
namespace {

thread_local DWORD t_lastError = NO_ERROR;

constexpr DWORD kVersionInfoSize = sizeof(OSVERSIONINFOA);
constexpr DWORD kVersionInfoExSize = sizeof(OSVERSIONINFOEXA);

DWORD MachineNumber(const char *section, const char *key, long defaultValue) {
    return static_cast<DWORD>(sim::Machine::Get().Number(section, key, defaultValue));
}

// The kernel32 folder-query convention: the text and its zero when it
// fits, returning its length; otherwise the size needed, zero included.
DWORD CopyFolder(const std::string &text, char *buffer, DWORD size) {
    if (buffer == nullptr || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

bool SameName(const char *a, const char *b, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Environment names compare without regard to case, as on Windows: the
// "NAME=value" entries of the process environment whose name is `name`.
std::vector<const char *> EnvironmentEntries(const char *name) {
    std::vector<const char *> entries;
    const std::size_t length = std::strlen(name);
    for (char **entry = environ; entry != nullptr && *entry != nullptr; ++entry)
        if (SameName(*entry, name, length) && (*entry)[length] == '=')
            entries.push_back(*entry);
    return entries;
}

}  // namespace

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD error) { t_lastError = error; }

BOOL GetVersionExA(OSVERSIONINFOA *info) {
    if (info == nullptr ||
        (info->dwOSVersionInfoSize != kVersionInfoSize && info->dwOSVersionInfoSize != kVersionInfoExSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (MachineNumber("Version", "VersionQueryFails", 0) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD size = info->dwOSVersionInfoSize;
    std::memset(info, 0, size);
    info->dwOSVersionInfoSize = size;
    info->dwMajorVersion = MachineNumber("Version", "MajorVersion", 5);
    info->dwMinorVersion = MachineNumber("Version", "MinorVersion", 1);
    info->dwBuildNumber = MachineNumber("Version", "BuildNumber", 2600);
    info->dwPlatformId = MachineNumber("Version", "PlatformId", VER_PLATFORM_WIN32_NT);
    if (size == kVersionInfoExSize) {
        auto *extended = reinterpret_cast<OSVERSIONINFOEXA *>(info);
        extended->wSuiteMask = static_cast<WORD>(MachineNumber("Version", "SuiteMask", 0));
        extended->wProductType = static_cast<BYTE>(MachineNumber("Version", "ProductType", VER_NT_WORKSTATION));
    }
    return TRUE;
}

UINT GetSystemDirectoryA(char *buffer, UINT size) {
    return CopyFolder(sim::Machine::Get().String("System", "SystemDirectory", "C:\\WINDOWS\\system32"),
                      buffer, size);
}

DWORD GetTempPathA(DWORD size, char *buffer) {
    return CopyFolder(sim::Machine::Get().String("System", "TempPath", "C:\\WINDOWS\\Temp\\"), buffer,
                      size);
}

DWORD GetModuleFileNameA(HMODULE module, char *buffer, DWORD size) {
    if (module != nullptr && module != GetModuleHandleA(nullptr)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    char host[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", host, sizeof host - 1);
    if (length <= 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    const std::string path = sim::WindowsPath(std::string(host, static_cast<std::size_t>(length)));
    if (buffer == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // Too small a buffer gets the path cut short but still terminated, as
    // Windows does since Vista.
    if (path.size() >= size) {
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    SetLastError(NO_ERROR);
    return static_cast<DWORD>(path.size());
}

LANGID GetSystemDefaultLangID() {
    return static_cast<LANGID>(MachineNumber("System", "DefaultLangID", 0x0409));
}

UINT GetACP() { return sim::Machine::Get().AnsiCodePage(); }

BOOL IsDBCSLeadByte(BYTE c) { return sim::IsLeadByte(c, GetACP()) ? TRUE : FALSE; }

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN: return static_cast<int>(MachineNumber("System", "ScreenWidth", 1024));
        case SM_CYSCREEN: return static_cast<int>(MachineNumber("System", "ScreenHeight", 768));
        default: return 0;
    }
}

DWORD GetEnvironmentVariableA(const char *name, char *buffer, DWORD size) {
    const std::vector<const char *> entries =
        name != nullptr ? EnvironmentEntries(name) : std::vector<const char *>();
    if (entries.empty()) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    const char *value = entries.front() + std::strlen(name) + 1;
    const std::size_t length = std::strlen(value);
    if (buffer == nullptr || size <= length) return static_cast<DWORD>(length + 1);
    std::memcpy(buffer, value, length + 1);
    if (length == 0) SetLastError(NO_ERROR);  // tells an empty value from a missing one
    return static_cast<DWORD>(length);
}

BOOL SetEnvironmentVariableA(const char *name, const char *value) {
    if (name == nullptr || name[0] == '\0' || std::strchr(name, '=') != nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<std::string> spellings;
    for (const char *entry : EnvironmentEntries(name)) spellings.emplace_back(entry, std::strlen(name));
    for (const std::string &spelling : spellings) unsetenv(spelling.c_str());
    if (value != nullptr && setenv(name, value, 1) != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    return TRUE;
}

}  // namespace win

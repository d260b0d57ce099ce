// rundll32.exe of the Wine runs: the Add Printer Wizard as the installer
// sees it. The scenarios put it in the system's place (the system folder,
// and the Windows folder where the 95 family keeps it), where SETUP.EXE
// starts the system's rundll32.exe.
//
// It writes the device-path values as they are while it is open into
// wizard.txt in the folder of the program that started it (the package,
// the driver folder), or with the argument --beside-me into its own
// folder, one line each, tab-separated:
//   installer  <process id of the program that started it>
//   command    <its command line>
//   folder     <the starting program's folder, as hex bytes with the zero>
//   short      <the same in its 8.3 form>
//   value      <key>\<name>  <type>  <bytes as hex>
// and then stays open for MIRTEL_WIZARD_SLEEP_MS milliseconds (default 0),
// or until the program that started it has ended.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Key {
    HKEY root;
    const char *path;
    const char *label;
};

const Key kKeys[] = {
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "CurrentVersion"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", "Setup"},
    {HKEY_CURRENT_USER, "InstallLocationsMRU", "InstallLocationsMRU"},
};
const char *const kNames[] = {"DevicePath", "OtherDevicePath", "SourcePath",
                              "Installation Sources"};

std::string Hex(const BYTE *bytes, DWORD size) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (DWORD i = 0; i < size; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 0xF];
    }
    return hex;
}

// Every value of the MRU key, and the device-path values of the others.
void ReportValues(const Key &key, std::string &report) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(key.root, key.path, 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
    const bool everyValue = key.root == HKEY_CURRENT_USER;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        BYTE data[4096];
        DWORD size = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(opened, index, name, &nameLength, nullptr, &type, data, &size) !=
            ERROR_SUCCESS)
            break;
        bool wanted = everyValue;
        for (const char *known : kNames) wanted = wanted || lstrcmpiA(known, name) == 0;
        if (!wanted) continue;
        char line[128];
        std::snprintf(line, sizeof line, "\t%lu\t", static_cast<unsigned long>(type));
        report += std::string("value\t") + key.label + "\\" + name + line + Hex(data, size) + "\n";
    }
    RegCloseKey(opened);
}

DWORD ParentProcessId() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
    CloseHandle(snapshot);
    return parent;
}

std::string FolderOf(const std::string &program) {
    return program.substr(0, program.find_last_of('\\'));
}

// Its own folder, without the final backslash.
std::string MyFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FolderOf(std::string(path, length));
}

// The folder of the program that started it, without the final backslash;
// empty when it cannot be had.
std::string StarterFolder(DWORD starter) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, starter);
    if (!process) return std::string();
    char path[MAX_PATH];
    DWORD length = MAX_PATH;
    const BOOL known = QueryFullProcessImageNameA(process, 0, path, &length);
    CloseHandle(process);
    return known ? FolderOf(std::string(path, length)) : std::string();
}

std::string HexText(const std::string &text) {
    return Hex(reinterpret_cast<const BYTE *>(text.c_str()), static_cast<DWORD>(text.size() + 1));
}

}  // namespace

int main(int argc, char **argv) {
    const DWORD installer = ParentProcessId();
    const bool besideMe = argc > 1 && std::strcmp(argv[1], "--beside-me") == 0;
    const std::string folder = besideMe ? MyFolder() : StarterFolder(installer);
    if (folder.empty()) return 1;
    std::string report = "installer\t" + std::to_string(installer) + "\n";
    report += std::string("command\t") + GetCommandLineA() + "\n";
    char shortFolder[MAX_PATH] = {};
    GetShortPathNameA(folder.c_str(), shortFolder, MAX_PATH);
    report += "folder\t" + HexText(folder) + "\nshort\t" + HexText(shortFolder) + "\n";
    for (const Key &key : kKeys) ReportValues(key, report);

    // Written whole under another name first: the scenario script waits for
    // wizard.txt and must never read half of it.
    const std::string partial = folder + "\\wizard.tmp";
    if (std::FILE *file = std::fopen(partial.c_str(), "wb")) {
        std::fwrite(report.data(), 1, report.size(), file);
        std::fclose(file);
        MoveFileExA(partial.c_str(), (folder + "\\wizard.txt").c_str(), MOVEFILE_REPLACE_EXISTING);
    }

    const char *sleep = std::getenv("MIRTEL_WIZARD_SLEEP_MS");
    const DWORD milliseconds = sleep ? std::strtoul(sleep, nullptr, 10) : 0;
    HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, installer);
    if (parent) {
        WaitForSingleObject(parent, milliseconds);
        CloseHandle(parent);
    } else {
        Sleep(milliseconds);
    }
    return 0;
}

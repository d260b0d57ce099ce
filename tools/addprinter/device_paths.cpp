#include "device_paths.h"

#include <strings.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace addprinter {
namespace {

constexpr const char *kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char *kSetup = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
constexpr const char *kInstallLocations = "InstallLocationsMRU";

bool ReadValue(win::HKEY root, const char *key, const std::string &name, const std::string &label,
               DevicePathValue *value) {
    win::HKEY opened = nullptr;
    if (win::RegOpenKeyExA(root, key, 0, win::KEY_READ, &opened) != win::ERROR_SUCCESS) return false;
    win::DWORD type = 0;
    win::DWORD size = 0;
    bool found = win::RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, &size) == win::ERROR_SUCCESS;
    std::string bytes(size, '\0');
    if (found && size > 0)
        found = win::RegQueryValueExA(opened, name.c_str(), nullptr, &type,
                                      reinterpret_cast<win::BYTE *>(&bytes[0]), &size) == win::ERROR_SUCCESS;
    win::RegCloseKey(opened);
    if (!found) return false;
    bytes.resize(size);
    *value = DevicePathValue{label, type, bytes};
    return true;
}

void Collect(win::HKEY root, const char *key, const std::string &name, const std::string &label,
             std::vector<DevicePathValue> *values) {
    DevicePathValue value;
    if (ReadValue(root, key, name, label, &value)) values->push_back(value);
}

std::string MruLabel(const std::string &name) { return std::string(kInstallLocations) + "\\" + name; }

// The Windows folder: the system folder's parent.
std::string WindowsFolder() {
    char system[win::MAX_PATH] = {};
    win::GetSystemDirectoryA(system, sizeof system);
    std::string folder = system;
    const std::size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? folder : folder.substr(0, slash);
}

std::string Variable(const std::string &name) {
    if (strcasecmp(name.c_str(), "SystemRoot") == 0 || strcasecmp(name.c_str(), "windir") == 0)
        return WindowsFolder();
    char value[win::MAX_PATH] = {};
    const win::DWORD length = win::GetEnvironmentVariableA(name.c_str(), value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value) : "%" + name + "%";
}

// "%Name%" replaced by the variable's value; unknown names stay as written.
std::string Expand(const std::string &text) {
    std::string expanded;
    std::size_t at = 0;
    for (;;) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) return expanded + text.substr(at);
        expanded += text.substr(at, open - at) + Variable(text.substr(open + 1, close - open - 1));
        at = close + 1;
    }
}

}  // namespace

std::vector<DevicePathValue> ReadDevicePathValues() {
    std::vector<DevicePathValue> values;
    const win::HKEY machine = win::HKEY_LOCAL_MACHINE;
    Collect(machine, kCurrentVersion, "DevicePath", "DevicePath", &values);
    Collect(machine, kCurrentVersion, "OtherDevicePath", "OtherDevicePath", &values);
    Collect(machine, kSetup, "SourcePath", "SourcePath", &values);
    Collect(machine, kSetup, "Installation Sources", "Installation Sources", &values);
    DevicePathValue list;
    if (ReadValue(win::HKEY_CURRENT_USER, kInstallLocations, "MRUList", MruLabel("MRUList"), &list)) {
        values.push_back(list);
        // Each character of the list names one entry; an empty list names
        // the key's unnamed value, as the installer reads it.
        const std::string entries = list.bytes.substr(0, list.bytes.find('\0'));
        std::vector<std::string> names;
        for (char entry : entries) names.emplace_back(1, entry);
        if (names.empty()) names.emplace_back();
        for (const std::string &name : names)
            Collect(win::HKEY_CURRENT_USER, kInstallLocations, name, MruLabel(name), &values);
    }
    return values;
}

std::vector<std::string> InfFilesOnDevicePath(const std::string &devicePath) {
    std::vector<std::string> files;
    std::size_t begin = 0;
    while (begin <= devicePath.size()) {
        const std::size_t end = std::min(devicePath.find(';', begin), devicePath.size());
        std::string folder = Expand(devicePath.substr(begin, end - begin));
        begin = end + 1;
        if (folder.empty()) continue;
        if (folder.back() != '\\') folder += '\\';
        win::WIN32_FIND_DATAA found;
        win::HANDLE search = win::FindFirstFileA((folder + "*.inf").c_str(), &found);
        if (search == win::INVALID_HANDLE_VALUE) continue;
        do {
            if (!(found.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + found.cFileName);
        } while (win::FindNextFileA(search, &found));
        win::FindClose(search);
    }
    return files;
}

}  // namespace addprinter

// The registry values the installer points at its driver folder while the
// wizard runs, read live from the simulated machine's registry.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace addprinter {

struct DevicePathValue {
    // The value's name; "InstallLocationsMRU\<name>" for the MRU list and
    // its entries in HKEY_CURRENT_USER.
    std::string label;
    win::DWORD type = 0;
    std::string bytes;
};

// DevicePath and OtherDevicePath, SourcePath and "Installation Sources",
// and the InstallLocationsMRU list with every entry it names; values that
// are absent are left out.
std::vector<DevicePathValue> ReadDevicePathValues();

// The INF files in the folders a DevicePath text names (";"-separated,
// %SystemRoot%-style variables expanded), as Windows paths.
std::vector<std::string> InfFilesOnDevicePath(const std::string &devicePath);

}  // namespace addprinter

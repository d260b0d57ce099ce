// The simulated Windows machine: the machine folder and its machine.ini,
// found through MIRTEL_MACHINE (or the default folder, created from the
// built-in template on first use) and loaded on first use.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace sim {

class Machine {
public:
    // The machine of this process, loaded on first use. A machine that
    // cannot be used (folder without machine.ini, unreadable machine.ini)
    // ends the process with a message on standard error and exit status 2.
    static const Machine &Get();

    const std::string &Folder() const { return m_folder; }

    // machine.ini, keys compared without regard to case; numbers may be
    // decimal or 0x-hexadecimal.
    std::string String(const char *section, const char *key, const char *defaultValue) const;
    long Number(const char *section, const char *key, long defaultValue) const;
    // The keys of a section in file order, with their values.
    std::vector<std::pair<std::string, std::string>> Section(const char *section) const;

    // Drive letter (upper case) -> host folder, from [Drives] with C and Z
    // defaulted.
    const std::map<char, std::string> &Drives() const { return m_drives; }
    win::UINT AnsiCodePage() const;

private:
    std::string m_folder;
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> m_sections;
    std::map<char, std::string> m_drives;
    friend struct MachineLoader;
};

}  // namespace sim

// machine/: the core of the simulated machine. It finds and loads the
// machine folder, makes a new one from the built-in template, keeps the
// transcript and the handle table, and answers kernel32's and advapi32's
// system calls from machine.ini: version, folders, environment, token and
// loaded libraries. It rests on plain files in a host folder, the host's
// environment (MIRTEL_MACHINE, XDG_STATE_HOME, HOME) and /proc/self/exe.
//
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
    // Makes the machine in `folder` (created from the template when the
    // folder does not exist) the machine of this process from now on, as
    // if MIRTEL_MACHINE had named it. Tests run many machines in one
    // process this way; references from earlier Get() calls stay valid.
    static void UseFolder(const std::string &folder);

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
    struct Entry {
        std::string key;
        std::string value;
        int line;
    };
    const Entry *Find(const char *section, const char *key) const;

    std::string m_folder;
    // Upper-cased section name -> its entries in file order.
    std::map<std::string, std::vector<Entry>> m_sections;
    std::map<char, std::string> m_drives;
    friend struct MachineLoader;
};

// Makes a machine folder at `path` (which must not exist yet) from the
// built-in template: Windows XP, English, code page 1252, the user an
// administrator. False, with the reason in `error`, when it cannot.
bool CreateMachineFolder(const std::string &path, std::string *error);

// Ends the process because the machine cannot be used: `message` on
// standard error, exit status 2.
[[noreturn]] void MachineUnusable(const std::string &message);

}  // namespace sim

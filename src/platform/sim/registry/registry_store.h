// The simulated registry: a tree of keys and typed values, its REGEDIT4
// text form (registry.reg of the machine folder), and the file shared by
// every process of the machine.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "platform/types.h"

namespace sim {

struct RegValue {
    std::string name;  // as created; empty for the default value "@"
    win::DWORD type = 0;
    std::string data;  // the exact bytes
};

// Orders names as the registry compares them: without regard to case.
struct RegNameLess {
    bool operator()(const std::string &a, const std::string &b) const;
};

class RegKey {
public:
    explicit RegKey(std::string name = std::string()) : m_name(std::move(name)) {}

    const std::string &Name() const { return m_name; }

    RegKey *Subkey(const std::string &name) const;
    // The subkey, made when missing; `created` says which.
    RegKey &CreateSubkey(const std::string &name, bool *created);
    // The key at `path` below this one (names separated by "\"; empty
    // names are skipped), made where missing; `created`, when given, says
    // whether any key was made.
    RegKey &CreatePath(const std::string &path, bool *created = nullptr);
    // False when there is no such subkey.
    bool DeleteSubkey(const std::string &name);
    const std::map<std::string, std::unique_ptr<RegKey>, RegNameLess> &Subkeys() const {
        return m_subkeys;
    }

    const RegValue *Value(const std::string &name) const;
    void SetValue(const std::string &name, win::DWORD type, std::string data);
    // False when there is no such value.
    bool DeleteValue(const std::string &name);
    // In the order they were created.
    const std::vector<RegValue> &Values() const { return m_values; }

private:
    std::string m_name;
    std::map<std::string, std::unique_ptr<RegKey>, RegNameLess> m_subkeys;
    std::vector<RegValue> m_values;
};

enum class RegRoot { LocalMachine, CurrentUser };

struct RegTree {
    RegKey localMachine{"HKEY_LOCAL_MACHINE"};
    RegKey currentUser{"HKEY_CURRENT_USER"};

    RegKey &Root(RegRoot root) { return root == RegRoot::LocalMachine ? localMachine : currentUser; }
    const RegKey &Root(RegRoot root) const {
        return root == RegRoot::LocalMachine ? localMachine : currentUser;
    }
    // The key at `path` (names separated by "\"; empty names are skipped)
    // below `root`, or null.
    RegKey *Find(RegRoot root, const std::string &path);
    const RegKey *Find(RegRoot root, const std::string &path) const;
};

// REGEDIT4 text: reading fails with the 1-based line and the reason.
struct RegParseError {
    int line = 0;
    std::string message;
};
bool ParseRegedit4(const std::string &text, RegTree *tree, RegParseError *error);
std::string FormatRegedit4(const RegTree &tree);

// registry.reg of one machine folder, kept in memory and re-read whenever
// another process has replaced it. Changes are made under an exclusive
// lock on registry.lock, on the newest file, and written back (temporary
// file, fsync, rename) before Change returns, so concurrent writers never
// lose each other's updates and readers see whole files only.
class RegistryFile {
public:
    explicit RegistryFile(std::string folder);

    const std::string &Folder() const { return m_folder; }

    // Runs `read` on the current tree.
    void Read(const std::function<void(const RegTree &)> &read);
    // Runs `change` on the current tree; when it answers true the tree is
    // written back. Answers ERROR_SUCCESS, or `change`'s own refusal
    // through `result`, or ERROR_ACCESS_DENIED when the file could not be
    // written.
    win::LONG Change(const std::function<bool(RegTree &, win::LONG *result)> &change);

private:
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        long long modified = 0;
        long long changed = 0;
        static Identity Of(const struct stat &info);
        bool operator==(const Identity &other) const;
    };
    void Refresh();
    bool WriteBack();

    std::string m_folder;
    std::string m_path;
    std::mutex m_lock;
    RegTree m_tree;
    Identity m_loaded;  // of the file m_tree was read from
    bool m_valid = false;
};

}  // namespace sim

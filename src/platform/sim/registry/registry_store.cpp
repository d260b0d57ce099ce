// The registry tree and registry.reg shared by the machine's processes.
#include "platform/sim/registry/registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "platform/sim/files/regular_file.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/unique_fd.h"

namespace sim {
namespace {

int UpperByte(char c) { return std::toupper(static_cast<unsigned char>(c)); }

bool SameName(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperByte(a[i]) != UpperByte(b[i])) return false;
    return true;
}

bool WriteAll(int fd, const std::string &text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Test hook: MIRTEL_KILL_AT_REGISTRY_WRITE=N kills this process at its
// N-th registry write, after the new file is prepared and before it
// replaces the old one, so tests can stop a run at every write.
// Writes are counted per process: a forked child starts again from 0.
void CountWriteAndKillHereIfAsked() {
    static pid_t counter = 0;
    static int writes = 0;
    if (counter != getpid()) {
        counter = getpid();
        writes = 0;
    }
    ++writes;
    const char *killAt = std::getenv("MIRTEL_KILL_AT_REGISTRY_WRITE");
    if (killAt != nullptr && std::atoi(killAt) == writes) kill(getpid(), SIGKILL);
}

}  // namespace

bool RegNameLess::operator()(const std::string &a, const std::string &b) const {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const int x = UpperByte(a[i]), y = UpperByte(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

RegKey *RegKey::Subkey(const std::string &name) const {
    auto found = m_subkeys.find(name);
    return found == m_subkeys.end() ? nullptr : found->second.get();
}

RegKey &RegKey::CreateSubkey(const std::string &name, bool *created) {
    auto found = m_subkeys.find(name);
    *created = found == m_subkeys.end();
    if (*created) found = m_subkeys.emplace(name, std::make_unique<RegKey>(name)).first;
    return *found->second;
}

RegKey &RegKey::CreatePath(const std::string &path, bool *created) {
    RegKey *key = this;
    bool madeAny = false;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        bool made = false;
        if (end > start) key = &key->CreateSubkey(path.substr(start, end - start), &made);
        madeAny = madeAny || made;
        start = end + 1;
    }
    if (created != nullptr) *created = madeAny;
    return *key;
}

bool RegKey::DeleteSubkey(const std::string &name) { return m_subkeys.erase(name) > 0; }

const RegValue *RegKey::Value(const std::string &name) const {
    for (const RegValue &value : m_values)
        if (SameName(value.name, name)) return &value;
    return nullptr;
}

void RegKey::SetValue(const std::string &name, win::DWORD type, std::string data) {
    for (RegValue &value : m_values) {
        if (SameName(value.name, name)) {
            value.type = type;
            value.data = std::move(data);
            return;
        }
    }
    m_values.push_back({name, type, std::move(data)});
}

bool RegKey::DeleteValue(const std::string &name) {
    for (auto it = m_values.begin(); it != m_values.end(); ++it) {
        if (SameName(it->name, name)) {
            m_values.erase(it);
            return true;
        }
    }
    return false;
}

const RegKey *RegTree::Find(RegRoot root, const std::string &path) const {
    const RegKey *key = &Root(root);
    std::size_t start = 0;
    while (key != nullptr && start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) key = key->Subkey(path.substr(start, end - start));
        start = end + 1;
    }
    return key;
}

RegKey *RegTree::Find(RegRoot root, const std::string &path) {
    return const_cast<RegKey *>(static_cast<const RegTree *>(this)->Find(root, path));
}

bool RegistryFile::Identity::operator==(const Identity &other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified == other.modified && changed == other.changed;
}

RegistryFile::Identity RegistryFile::Identity::Of(const struct stat &info) {
    return {info.st_dev, info.st_ino, info.st_size,
            info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec,
            info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec};
}

RegistryFile::RegistryFile(std::string folder)
    : m_folder(std::move(folder)), m_path(m_folder + "/registry.reg") {}

// Re-reads registry.reg when it is not the file the tree came from. A
// missing file is an empty registry; an unreadable one stops the program.
void RegistryFile::Refresh() {
    struct stat info {};
    Identity now;
    if (stat(m_path.c_str(), &info) == 0) now = Identity::Of(info);
    if (m_valid && now == m_loaded) return;

    RegTree tree;
    Identity loaded;
    UniqueFd file = OpenRegularFile(m_path, O_RDONLY);
    if (file.Get() >= 0) {
        // What was read is described by the open file, not by the stat
        // above: another process may have replaced the file in between.
        if (fstat(file.Get(), &info) != 0) MachineUnusable(m_path + ": cannot be read");
        loaded = Identity::Of(info);
        std::string text(static_cast<std::size_t>(info.st_size), '\0');
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t got = read(file.Get(), &text[done], text.size() - done);
            if (got < 0) MachineUnusable(m_path + ": cannot be read");
            if (got == 0) break;
            done += static_cast<std::size_t>(got);
        }
        text.resize(done);
        RegParseError error;
        if (!ParseRegedit4(text, &tree, &error))
            MachineUnusable(m_path + ":" + std::to_string(error.line) + ": " + error.message);
    } else if (errno != ENOENT) {
        MachineUnusable(m_path + ": cannot be read");
    }
    m_tree = std::move(tree);
    m_loaded = loaded;
    m_valid = true;
}

void RegistryFile::Read(const std::function<void(const RegTree &)> &read) {
    std::lock_guard<std::mutex> guard(m_lock);
    Refresh();
    read(m_tree);
}

win::LONG RegistryFile::Change(const std::function<bool(RegTree &, win::LONG *)> &change) {
    std::lock_guard<std::mutex> guard(m_lock);
    const std::string lockPath = m_folder + "/registry.lock";
    UniqueFd lock(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (lock.Get() < 0 || flock(lock.Get(), LOCK_EX) != 0) return win::ERROR_ACCESS_DENIED;
    Refresh();
    win::LONG result = win::ERROR_SUCCESS;
    if (!change(m_tree, &result)) return result;
    if (!WriteBack()) {
        m_valid = false;  // the tree no longer matches the file
        return win::ERROR_ACCESS_DENIED;
    }
    return win::ERROR_SUCCESS;  // the flock ends as `lock` closes
}

bool RegistryFile::WriteBack() {
    const std::string text = FormatRegedit4(m_tree);
    const std::string temporary = m_path + ".tmp";
    {
        UniqueFd file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        // No fsync: the rename below is what makes the change whole for
        // every reader and for a process killed at any instant; flushing to
        // the device on every registry write would guard only against the
        // host itself crashing, and would cost more than the whole run.
        if (file.Get() < 0) return false;
        if (!WriteAll(file.Get(), text)) {
            unlink(temporary.c_str());  // a failed write leaves nothing behind
            return false;
        }
    }
    CountWriteAndKillHereIfAsked();
    if (rename(temporary.c_str(), m_path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    struct stat info {};
    if (stat(m_path.c_str(), &info) != 0) return false;
    m_loaded = Identity::Of(info);
    return true;
}

}  // namespace sim

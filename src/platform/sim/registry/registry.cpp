// registry/: the registry of the simulated machine: the advapi32 calls, the
// key tree they share and its REGEDIT4 text. It rests on one host file,
// registry.reg of the machine folder, rewritten under an flock() on
// registry.lock so that every process of the machine sees one registry.
//
// advapi32's registry calls over the machine's registry.reg.
#include "platform/registry.h"

#include <memory>
#include <mutex>
#include <string>

#include "platform/sim/machine/handles.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/registry/registry_store.h"

namespace win {
namespace {

constexpr LONG ERROR_NOACCESS = 998;
constexpr LONG ERROR_KEY_DELETED = 1018;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;

// An open key: where it is and what it may do. The key is found again by
// its path on every call, since another process may have changed the tree.
class OpenKey : public sim::HandleObject {
public:
    OpenKey(sim::RegRoot root, std::string path, REGSAM access)
        : root(root), path(std::move(path)), access(access) {}
    const sim::RegRoot root;
    const std::string path;
    const REGSAM access;
};

sim::RegistryFile &Store() {
    static std::mutex lock;
    static std::unique_ptr<sim::RegistryFile> file;
    const std::string &folder = sim::Machine::Get().Folder();
    std::lock_guard<std::mutex> guard(lock);
    if (!file || file->Folder() != folder) file = std::make_unique<sim::RegistryFile>(folder);
    return *file;
}

// The open key behind `key`; the predefined roots may do everything.
std::shared_ptr<const OpenKey> Resolve(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE)
        return std::make_shared<OpenKey>(sim::RegRoot::LocalMachine, "", KEY_ALL_ACCESS);
    if (key == HKEY_CURRENT_USER)
        return std::make_shared<OpenKey>(sim::RegRoot::CurrentUser, "", KEY_ALL_ACCESS);
    return sim::LookupHandle<OpenKey>(reinterpret_cast<HANDLE>(key));
}

// `subKey` below `parent`'s path, empty names dropped ("a\\b\" = "a\b").
std::string Below(const std::string &parent, const char *subKey) {
    std::string path = parent;
    const std::string sub = subKey != nullptr ? subKey : "";
    std::size_t start = 0;
    while (start < sub.size()) {
        std::size_t end = sub.find('\\', start);
        if (end == std::string::npos) end = sub.size();
        if (end > start) {
            if (!path.empty()) path += '\\';
            path += sub.substr(start, end - start);
        }
        start = end + 1;
    }
    return path;
}

HKEY NewKey(const OpenKey &parent, const std::string &path, REGSAM access) {
    return reinterpret_cast<HKEY>(
        sim::NewHandle(std::make_shared<OpenKey>(parent.root, path, access)));
}

// The error for a key that is not there: a handle whose own key is gone
// says so; otherwise the subkey is missing.
LONG MissingKeyError(const sim::RegTree &tree, const OpenKey &key) {
    return tree.Find(key.root, key.path) == nullptr ? ERROR_KEY_DELETED : ERROR_FILE_NOT_FOUND;
}

}  // namespace

LONG RegOpenKeyExA(HKEY root, const char *subKey, DWORD, REGSAM access, HKEY *result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const auto parent = Resolve(root);
    if (!parent) return ERROR_INVALID_HANDLE;
    const std::string path = Below(parent->path, subKey);
    LONG status = ERROR_SUCCESS;
    Store().Read([&](const sim::RegTree &tree) {
        if (tree.Find(parent->root, path) == nullptr) status = MissingKeyError(tree, *parent);
    });
    if (status == ERROR_SUCCESS) *result = NewKey(*parent, path, access);
    return status;
}

LONG RegOpenKeyA(HKEY root, const char *subKey, HKEY *result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    // No subkey opens nothing new: the caller gets its own handle back.
    if (subKey == nullptr || subKey[0] == '\0') {
        if (!Resolve(root)) return ERROR_INVALID_HANDLE;
        *result = root;
        return ERROR_SUCCESS;
    }
    return RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, result);
}

LONG RegCreateKeyExA(HKEY root, const char *subKey, DWORD, char *, DWORD, REGSAM access, void *,
                     HKEY *result, DWORD *disposition) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const auto parent = Resolve(root);
    if (!parent) return ERROR_INVALID_HANDLE;
    const std::string path = Below(parent->path, subKey);
    // A line break would end the key's line in registry.reg.
    if (path.find_first_of("\r\n") != std::string::npos) return ERROR_INVALID_PARAMETER;
    bool created = false;
    const LONG status = Store().Change([&](sim::RegTree &tree, LONG *refusal) {
        sim::RegKey *key = tree.Find(parent->root, parent->path);
        if (key == nullptr) {
            *refusal = ERROR_KEY_DELETED;
            return false;
        }
        if (tree.Find(parent->root, path) != nullptr) return false;
        if ((parent->access & KEY_CREATE_SUB_KEY) == 0) {
            *refusal = ERROR_ACCESS_DENIED;
            return false;
        }
        key->CreatePath(path.substr(parent->path.size()), &created);
        return true;
    });
    if (status != ERROR_SUCCESS) return status;
    if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewKey(*parent, path, access);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    const HANDLE handle = reinterpret_cast<HANDLE>(key);
    if (!sim::LookupHandle<OpenKey>(handle) || !sim::CloseSimHandle(handle)) return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char *valueName, DWORD *reserved, DWORD *type, BYTE *data,
                      DWORD *size) {
    if (reserved != nullptr || (data != nullptr && size == nullptr)) return ERROR_INVALID_PARAMETER;
    const auto open = Resolve(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if ((open->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
    const std::string name = valueName != nullptr ? valueName : "";
    LONG status = ERROR_SUCCESS;
    Store().Read([&](const sim::RegTree &tree) {
        const sim::RegKey *found = tree.Find(open->root, open->path);
        if (found == nullptr) {
            status = ERROR_KEY_DELETED;
            return;
        }
        const sim::RegValue *value = found->Value(name);
        if (value == nullptr) {
            status = ERROR_FILE_NOT_FOUND;
            return;
        }
        const DWORD length = static_cast<DWORD>(value->data.size());
        if (type != nullptr) *type = value->type;
        if (data != nullptr) {
            if (*size < length) status = ERROR_MORE_DATA;
            else value->data.copy(reinterpret_cast<char *>(data), length);
        }
        if (size != nullptr) *size = length;
    });
    return status;
}

LONG RegSetValueExA(HKEY key, const char *valueName, DWORD, DWORD type, const BYTE *data,
                    DWORD size) {
    if (data == nullptr && size != 0) return ERROR_NOACCESS;
    const auto open = Resolve(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if ((open->access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    const std::string name = valueName != nullptr ? valueName : "";
    const std::string bytes(reinterpret_cast<const char *>(data), data != nullptr ? size : 0);
    return Store().Change([&](sim::RegTree &tree, LONG *refusal) {
        sim::RegKey *found = tree.Find(open->root, open->path);
        if (found == nullptr) {
            *refusal = ERROR_KEY_DELETED;
            return false;
        }
        found->SetValue(name, type, bytes);
        return true;
    });
}

LONG RegDeleteValueA(HKEY key, const char *valueName) {
    const auto open = Resolve(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if ((open->access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    const std::string name = valueName != nullptr ? valueName : "";
    return Store().Change([&](sim::RegTree &tree, LONG *refusal) {
        sim::RegKey *found = tree.Find(open->root, open->path);
        if (found == nullptr) *refusal = ERROR_KEY_DELETED;
        else if (!found->DeleteValue(name)) *refusal = ERROR_FILE_NOT_FOUND;
        else return true;
        return false;
    });
}

LONG RegDeleteKeyA(HKEY root, const char *subKey) {
    const auto parent = Resolve(root);
    if (!parent) return ERROR_INVALID_HANDLE;
    const std::string path = Below(parent->path, subKey);
    if (path.size() == parent->path.size()) return ERROR_INVALID_PARAMETER;
    const std::size_t slash = path.rfind('\\');
    const std::string above = slash == std::string::npos ? "" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return Store().Change([&](sim::RegTree &tree, LONG *refusal) {
        sim::RegKey *key = tree.Find(parent->root, path);
        if (key == nullptr) *refusal = MissingKeyError(tree, *parent);
        else if (!key->Subkeys().empty()) *refusal = ERROR_ACCESS_DENIED;  // as NT does
        else return tree.Find(parent->root, above)->DeleteSubkey(name);
        return false;
    });
}

}  // namespace win

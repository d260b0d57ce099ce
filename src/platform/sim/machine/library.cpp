// kernel32's module calls. The program's own module carries the string
// table of res/strings.def. System libraries exist only as the string
// resources machine.ini [Strings] gives them ("LIBRARY.ID=text"), and
// "SetupApi.DLL" is built in: its exports are the project's INF engine.
#include "platform/library.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/setupapi_module.h"
#include "platform/system.h"

namespace win {
namespace {

constexpr const char *kSetupApi = "SETUPAPI.DLL";
// Where Windows maps an executable, and where our libraries start.
constexpr std::uintptr_t kProgramBase = 0x00400000;
constexpr std::uintptr_t kFirstLibraryBase = 0x10000000;
constexpr std::uintptr_t kLibrarySpacing = 0x00010000;

struct ProgramString {
    UINT id;
    const char *text;
};
constexpr ProgramString kProgramStrings[] = {
#define MIRTEL_STRING(id, text) {id, text},
#include "res/strings.def"
#undef MIRTEL_STRING
};

std::string Upper(std::string text) {
    for (char &c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// A folder compared as Windows compares it: "/" is "\\", case and
// trailing separators do not count.
std::string FolderKey(std::string path) {
    for (char &c : path)
        if (c == '/') c = '\\';
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return Upper(path);
}

// "LIBRARY.ID" keys of [Strings]: the library part, upper-cased.
std::string LibraryOfStringKey(const std::string &key) {
    const std::size_t dot = key.rfind('.');
    return dot == std::string::npos ? std::string() : Upper(key.substr(0, dot));
}

bool SetupApiPresent() { return sim::Machine::Get().Number("SetupApi", "Present", 1) != 0; }

bool LibraryExists(const std::string &upperName) {
    if (upperName == kSetupApi) return SetupApiPresent();
    for (const auto &entry : sim::Machine::Get().Section("Strings"))
        if (LibraryOfStringKey(entry.first) == upperName) return true;
    return false;
}

// The upper-cased file name a library is known by, or empty when
// `fileName` cannot name one of the system directory's libraries. A name
// without an extension gets ".DLL", as LoadLibraryA adds it.
std::string LibraryName(const char *fileName) {
    std::string name = fileName;
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) {
        char system[MAX_PATH];
        const UINT length = GetSystemDirectoryA(system, sizeof system);
        if (length == 0 || length >= sizeof system) return std::string();
        if (FolderKey(name.substr(0, slash)) != FolderKey(system)) return std::string();
        name = name.substr(slash + 1);
    }
    if (name.empty()) return std::string();
    if (name.find('.') == std::string::npos) name += ".DLL";
    else if (name.back() == '.') name.pop_back();
    return Upper(name);
}

struct Library {
    std::string name;
    int references = 0;
};

struct LoadedLibraries {
    std::mutex lock;
    // Base address -> library; a library keeps its base for the whole run.
    std::map<std::uintptr_t, Library> byBase;

    std::uintptr_t BaseOf(const std::string &name) {
        for (const auto &entry : byBase)
            if (entry.second.name == name) return entry.first;
        const std::uintptr_t base = kFirstLibraryBase + kLibrarySpacing * byBase.size();
        byBase[base].name = name;
        return base;
    }
    // The loaded library at `module`, or null.
    Library *Find(HMODULE module) {
        auto found = byBase.find(reinterpret_cast<std::uintptr_t>(module));
        return found != byBase.end() && found->second.references > 0 ? &found->second : nullptr;
    }
};

LoadedLibraries &Libraries() {
    static LoadedLibraries libraries;
    return libraries;
}

HMODULE ProgramModule() { return reinterpret_cast<HMODULE>(kProgramBase); }

const char *ProgramStringText(UINT id) {
    for (const ProgramString &entry : kProgramStrings)
        if (entry.id == id) return entry.text;
    return nullptr;
}

bool LibraryString(const std::string &library, UINT id, std::string *text) {
    const std::string wanted = library + "." + std::to_string(id);
    for (const auto &entry : sim::Machine::Get().Section("Strings")) {
        if (Upper(entry.first) == wanted) {
            *text = entry.second;
            return true;
        }
    }
    return false;
}

bool IsMissingExport(const char *name) {
    const std::string missing = sim::Machine::Get().String("SetupApi", "MissingExports", "");
    std::size_t start = 0;
    while (start <= missing.size()) {
        std::size_t end = missing.find(',', start);
        if (end == std::string::npos) end = missing.size();
        std::string entry = missing.substr(start, end - start);
        entry.erase(0, entry.find_first_not_of(" \t"));
        entry.erase(entry.find_last_not_of(" \t") + 1);
        if (!entry.empty() && entry == name) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

HMODULE LoadLibraryA(const char *fileName) {
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string name = LibraryName(fileName);
    if (name.empty() || !LibraryExists(name)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    LoadedLibraries &libraries = Libraries();
    std::lock_guard<std::mutex> guard(libraries.lock);
    const std::uintptr_t base = libraries.BaseOf(name);
    ++libraries.byBase[base].references;
    return reinterpret_cast<HMODULE>(base);
}

BOOL FreeLibrary(HMODULE module) {
    if (module == ProgramModule()) return TRUE;
    LoadedLibraries &libraries = Libraries();
    std::lock_guard<std::mutex> guard(libraries.lock);
    Library *library = libraries.Find(module);
    if (library == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    --library->references;
    return TRUE;
}

HINSTANCE GetModuleHandleA(const char *moduleName) {
    if (moduleName == nullptr) return ProgramModule();
    const std::string name = LibraryName(moduleName);
    LoadedLibraries &libraries = Libraries();
    std::lock_guard<std::mutex> guard(libraries.lock);
    for (const auto &entry : libraries.byBase)
        if (entry.second.references > 0 && entry.second.name == name)
            return reinterpret_cast<HMODULE>(entry.first);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char *name) {
    bool isSetupApi = false;
    {
        LoadedLibraries &libraries = Libraries();
        std::lock_guard<std::mutex> guard(libraries.lock);
        const Library *library = libraries.Find(module);
        if (library == nullptr && module != ProgramModule()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        isSetupApi = library != nullptr && library->name == kSetupApi;
    }
    // Names below 0x10000 are ordinals; nothing here exports by ordinal.
    const bool byName = reinterpret_cast<std::uintptr_t>(name) >= 0x10000;
    FARPROC entry = nullptr;
    if (isSetupApi && byName && !IsMissingExport(name)) entry = sim::SetupApiExport(name);
    if (entry == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
    return entry;
}

int LoadStringA(HINSTANCE instance, UINT id, char *buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string text;
    bool found = false;
    if (instance == nullptr || instance == ProgramModule()) {
        const char *programText = ProgramStringText(id);
        found = programText != nullptr;
        if (found) text = programText;
    } else {
        std::string library;
        {
            LoadedLibraries &libraries = Libraries();
            std::lock_guard<std::mutex> guard(libraries.lock);
            const Library *loaded = libraries.Find(instance);
            if (loaded == nullptr) {
                SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
                buffer[0] = '\0';
                return 0;
            }
            library = loaded->name;
        }
        found = LibraryString(library, id, &text);
    }
    if (!found) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        buffer[0] = '\0';
        return 0;
    }
    const std::size_t length = text.size() < static_cast<std::size_t>(size - 1) ? text.size()
                                                                                 : static_cast<std::size_t>(size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

}  // namespace win

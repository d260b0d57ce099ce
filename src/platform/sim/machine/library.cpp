// kernel32's module calls. The program's own module carries the string
// table of res/strings.def. System libraries exist only as the string
// resources machine.ini [Strings] gives them ("LIBRARY.ID=text"), and
// "SetupApi.DLL" is built in: its exports are the project's INF engine.
// Any other file loaded as a library (one found beside the program or in
// the current folder before the system's, or named by its path) is a
// foreign library: it has no strings and no exports, and loading it so
// that its code would run is written to the transcript
// ({"event":"library","path":...}).
#include "platform/library.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/sim/files/paths.h"
#include "platform/sim/files/search_order.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/setupapi_module.h"
#include "platform/sim/machine/transcript.h"
#include "platform/sim/text/codepage.h"
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

// A library's file name as LoadLibraryA completes it: a name without an
// extension gets ".DLL", a final period stands for none.
std::string WithExtension(std::string name) {
    if (name.find('.') == std::string::npos) name += ".DLL";
    else if (name.back() == '.') name.pop_back();
    return name;
}

// The upper-cased file name a library is known by, or empty when
// `fileName` cannot name one of the system directory's libraries.
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
    return Upper(WithExtension(name));
}

// What a LoadLibraryA name loads: the name of a system library, or the
// full Windows path of a foreign file (as its name, upper-cased), or
// empty when it names nothing that exists. A bare name is looked for
// beside the program and in the current folder before the system's.
std::string ResolveLibrary(const char *fileName, std::string *foreignPath) {
    const std::string given = fileName;
    if (given.find_first_of("\\/") == std::string::npos) {
        *foreignPath = sim::FoundBeforeSystemFolders(WithExtension(given));
        if (!foreignPath->empty()) return Upper(*foreignPath);
    }
    const std::string name = LibraryName(fileName);
    if (!name.empty()) return LibraryExists(name) ? name : std::string();
    const std::string full = sim::FullWindowsPath(fileName);
    if (full.empty() || !sim::IsRegularFileAt(full)) return std::string();
    *foreignPath = full;
    return Upper(full);
}

void RecordForeignLibrary(const std::string &path) {
    sim::AppendTranscript("{\"event\":\"library\",\"path\":" +
                          sim::JsonString(sim::AnsiToUtf8(path, sim::Machine::Get().AnsiCodePage())) +
                          "}");
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

HMODULE LoadLibraryA(const char *fileName) { return LoadLibraryExA(fileName, nullptr, 0); }

HMODULE LoadLibraryExA(const char *fileName, HANDLE, DWORD flags) {
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string foreignPath;
    const std::string name = ResolveLibrary(fileName, &foreignPath);
    if (name.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // A file mapped as data runs nothing.
    if (!foreignPath.empty() && (flags & LOAD_LIBRARY_AS_DATAFILE) == 0) RecordForeignLibrary(foreignPath);
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

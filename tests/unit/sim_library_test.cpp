// Modules of the simulated machine: the program's own string table, the
// string resources machine.ini gives system libraries, the built-in
// SetupApi.DLL, and foreign files found before the system's.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/library.h"
#include "platform/sim/machine/setupapi_module.h"
#include "res/resource.h"
#include "support/machine_fixture.h"

namespace {

using namespace win;

TEST(SimLibrary, ProgramStringsComeFromTheStringTable) {
    const struct {
        HINSTANCE instance;
        UINT id;
        int size;
        int length;
        const char *text;
    } cases[] = {
        {nullptr, IDS_RESOURCE_FILE_NOT_FOUND, 260, 24, "Resource file not found."},
        {GetModuleHandleA(nullptr), 57344, 260, 22, "Install Printer Driver"},
        {nullptr, 57344, 8, 7, "Install"},  // cut to size - 1, terminated
        {nullptr, 57344, 1, 0, ""},
    };
    for (const auto &c : cases) {
        char buffer[260];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(LoadStringA(c.instance, c.id, buffer, c.size), c.length) << c.id;
        EXPECT_STREQ(buffer, c.text) << c.id;
    }
    char buffer[16];
    SetLastError(0);
    EXPECT_EQ(LoadStringA(nullptr, 4711, buffer, sizeof buffer), 0);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
}

TEST(SimLibrary, LibrariesOfStringsAreInTheSystemDirectory) {
    testing_machine::MachineFolder machine;
    machine.SetIni("Strings", "MSPRINT.DLL.2", "Add Printer Wizard");
    machine.SetIni("Strings", "printui.dll.15114", "Add Printer");
    machine.Use();
    const struct {
        const char *name;
        bool loads;
    } names[] = {
        {"PRINTUI.DLL", true},
        {"printui", true},
        {"C:\\WINDOWS\\system32\\PrintUI.dll", true},
        {"c:/windows/SYSTEM32/printui.dll", true},
        {"C:\\WINDOWS\\system32\\\\printui.dll", true},
        {"C:\\Windows\\system\\MSPRINT.DLL", false},  // not the system directory
        {"D:\\printui.dll", false},
        {"NTPRINT.DLL", false},
        {"", false},
    };
    for (const auto &n : names) {
        SetLastError(0);
        HMODULE module = LoadLibraryA(n.name);
        EXPECT_EQ(module != nullptr, n.loads) << n.name;
        if (module == nullptr) {
            EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND) << n.name;
            continue;
        }
        char title[260] = {};
        EXPECT_EQ(LoadStringA(module, 15114, title, sizeof title), 11) << n.name;
        EXPECT_STREQ(title, "Add Printer");
        EXPECT_EQ(LoadStringA(module, 2, title, sizeof title), 0);
        EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
        EXPECT_TRUE(FreeLibrary(module));
    }
    HMODULE msprint = LoadLibraryA("MSPRINT.DLL");
    ASSERT_NE(msprint, nullptr);
    char title[260];
    EXPECT_EQ(LoadStringA(msprint, 2, title, sizeof title), 18);
    EXPECT_STREQ(title, "Add Printer Wizard");
    EXPECT_EQ(GetModuleHandleA("msprint.dll"), msprint);
    EXPECT_TRUE(FreeLibrary(msprint));
    EXPECT_EQ(GetModuleHandleA("msprint.dll"), nullptr);
    EXPECT_FALSE(FreeLibrary(msprint));  // freed once too often
}

TEST(SimLibrary, LibraryHandlesCountLoads) {
    testing_machine::MachineFolder machine;
    machine.Use();
    HMODULE first = LoadLibraryA("PRINTUI.DLL");
    HMODULE second = LoadLibraryA("printui");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(FreeLibrary(first));
    char title[64];
    EXPECT_GT(LoadStringA(second, 15114, title, sizeof title), 0);  // still loaded once
    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_EQ(LoadStringA(second, 15114, title, sizeof title), 0);
}

TEST(SimLibrary, SetupApiIsBuiltInUnlessAbsent) {
    const struct {
        const char *present;
        const char *missing;
        bool loads;
        bool findsCloseInf;
    } cases[] = {
        {"1", "", true, true},
        {"1", "SetupOpenAppendInfFileA, SetupCloseInfFile", true, false},
        {"0", "", false, false},
    };
    const bool engineExports = sim::SetupApiExport("SetupCloseInfFile") != nullptr;
    for (const auto &c : cases) {
        testing_machine::MachineFolder machine;
        machine.SetIni("SetupApi", "Present", c.present);
        machine.SetIni("SetupApi", "MissingExports", c.missing);
        machine.Use();
        for (const char *name : {"SetupApi.DLL", "SETUPAPI.dll", "setupapi"}) {
            HMODULE module = LoadLibraryA(name);
            EXPECT_EQ(module != nullptr, c.loads) << name;
            if (module == nullptr) continue;
            SetLastError(0);
            const FARPROC close = GetProcAddress(module, "SetupCloseInfFile");
            EXPECT_EQ(close != nullptr, c.findsCloseInf && engineExports) << c.missing;
            if (close == nullptr) {
                EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
            }
            EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
            EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
            FreeLibrary(module);
        }
    }
}

// A bare name finds a file of the current folder before the system's
// library; its code runs (the transcript says so) unless it is mapped as
// data. A full system path takes the system's.
TEST(SimLibrary, ABareNameFindsTheCurrentFolderFirst) {
    testing_machine::MachineFolder machine;
    machine.SetIni("Strings", "PRINTUI.DLL.15114", "Add Printer");
    machine.Use();
    std::ofstream(machine.HostPath("drive_c/PRINTUI.DLL")) << "planted";
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    const struct {
        const char *name;
        DWORD flags;
        bool foreign;
        bool runs;
    } cases[] = {
        {"PRINTUI.DLL", 0, true, true},
        {"printui", LOAD_LIBRARY_AS_DATAFILE, true, false},
        {"C:\\PRINTUI.DLL", LOAD_WITH_ALTERED_SEARCH_PATH, true, true},
        {"C:\\WINDOWS\\system32\\PRINTUI.DLL", 0, false, false},
        {"C:\\WINDOWS\\system32\\PRINTUI.DLL", LOAD_LIBRARY_AS_DATAFILE, false, false},
    };
    std::size_t libraryEvents = 0;
    for (const auto &c : cases) {
        HMODULE module = LoadLibraryExA(c.name, nullptr, c.flags);
        ASSERT_NE(module, nullptr) << c.name;
        char title[64] = {};
        EXPECT_EQ(LoadStringA(module, 15114, title, sizeof title), c.foreign ? 0 : 11) << c.name;
        FreeLibrary(module);
        if (c.runs) ++libraryEvents;
        std::size_t seen = 0;
        for (const auto &event : machine.Transcript()) {
            if (event.at("event") != "library") continue;
            ++seen;
            EXPECT_EQ(event.at("path"), "C:\\PRINTUI.DLL");
        }
        EXPECT_EQ(seen, libraryEvents) << c.name;
    }
    SetCurrentDirectoryA(before);
}

}  // namespace

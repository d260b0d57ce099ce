// The 32-bit SETUP.EXE that ships, read as a file on the build host: its
// header asks for no Windows later than 4.0, every function it imports is
// exported by each Windows version it runs on (windows_exports.txt), and
// its code needs no processor beyond the one the README states.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "image/export_table.h"
#include "image/pe_image.h"

namespace {

// MIRTEL_IMAGE names another image to check, for example one built from an
// older commit.
std::string ImagePath() {
    const char *other = std::getenv("MIRTEL_IMAGE");
    return other && *other ? other : MIRTEL_SHIPPED_IMAGE;
}

class ShippedImage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_image = std::make_unique<pe::Image>(ImagePath());
        s_table = std::make_unique<exports::Table>(exports::ReadTable(MIRTEL_EXPORT_TABLE));
    }
    static void TearDownTestSuite() {
        s_image.reset();
        s_table.reset();
    }
    void SetUp() override {
        ASSERT_EQ(s_image->Error(), "") << "build it with: bash scripts/build-windows.sh i686 setup";
        ASSERT_TRUE(s_table->errors.empty()) << s_table->errors.front();
    }

    static std::unique_ptr<pe::Image> s_image;
    static std::unique_ptr<exports::Table> s_table;
};
std::unique_ptr<pe::Image> ShippedImage::s_image;
std::unique_ptr<exports::Table> ShippedImage::s_table;

TEST_F(ShippedImage, IsA32BitGuiProgramForWindows40) {
    const pe::Headers &header = s_image->Header();
    EXPECT_EQ(header.machine, 0x14c) << "IMAGE_FILE_MACHINE_I386";
    EXPECT_EQ(header.optionalMagic, 0x10b) << "PE32";
    EXPECT_EQ(header.subsystem, 2) << "IMAGE_SUBSYSTEM_WINDOWS_GUI";
    // Windows 95 and NT 4.0 refuse an image that asks for a later version.
    EXPECT_EQ(header.majorSubsystemVersion, 4);
    EXPECT_EQ(header.minorSubsystemVersion, 0);
    EXPECT_EQ(header.majorOperatingSystemVersion, 4);
    EXPECT_EQ(header.minorOperatingSystemVersion, 0);
}

TEST_F(ShippedImage, ImportsFromSystemDllsOnly) {
    const std::set<std::string> allowed = {"ADVAPI32.DLL", "COMCTL32.DLL", "KERNEL32.DLL", "MSVCRT.DLL", "USER32.DLL"};
    std::set<std::string> dlls;
    for (const pe::Import &import : s_image->Imports()) {
        std::string upper = import.dll;
        for (char &c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        dlls.insert(upper);
    }
    ASSERT_FALSE(dlls.empty()) << "no import table read";
    for (const std::string &dll : dlls) EXPECT_TRUE(allowed.count(dll)) << dll << " is not a DLL every version has";
}

TEST_F(ShippedImage, EveryImportIsExportedByEveryVersion) {
    for (const pe::Import &import : s_image->Imports()) {
        const std::string name = import.dll + "!" + import.name;
        if (import.name.empty()) {
            ADD_FAILURE() << import.dll << " ordinal " << import.ordinal
                          << " is imported by number, which differs between versions";
            continue;
        }
        const exports::Row *row = s_table->Find(import.dll, import.name);
        if (!row) {
            ADD_FAILURE() << name << " has no row in windows_exports.txt";
            continue;
        }
        std::string lacking;
        for (std::size_t v = 0; v < exports::kVersions.size(); ++v) {
            if (row->versions[v] != exports::Availability::Missing) continue;
            lacking += lacking.empty() ? "" : ", ";
            lacking += exports::kVersions[v];
        }
        EXPECT_EQ(lacking, "") << name << " is not exported by Windows " << lacking;
    }
}

TEST_F(ShippedImage, EveryRowNamesItsSourceAndEveryStubItsExcuse) {
    for (const exports::Row &row : s_table->rows) {
        const std::string name = row.dll + "!" + row.function;
        EXPECT_TRUE(s_table->sources.count(row.source)) << name << ": no @source line for " << row.source;
        bool stub = false;
        for (exports::Availability availability : row.versions) stub |= availability == exports::Availability::Stub;
        // A stub lets the program start; only a reason why its failure
        // does no harm makes it acceptable.
        if (stub) {
            EXPECT_FALSE(row.note.empty()) << name << " is a stub somewhere and its row does not say why that is harmless";
        }
    }
}

// The disassembly of the image, one instruction a line.
std::string Disassembly(const std::string &path) {
    const std::string command = "i686-w64-mingw32-objdump -d --no-show-raw-insn '" + path + "'";
    std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
    std::string text;
    if (!pipe) return text;
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) text.append(buffer, got);
    return text;
}

// The README's processor floor is the Pentium Pro (P6): CMOV and FCOMI
// are allowed, while MMX, SSE and later instruction sets would raise it.
// "tzcnt" is allowed: GCC emits it as "rep bsf" where the operand is never
// zero, and processors before it run that as BSF, with the same result.
TEST_F(ShippedImage, NeedsNoProcessorBeyondThePentiumPro) {
    const std::string code = Disassembly(ImagePath());
    ASSERT_NE(code.find("cmov"), std::string::npos) << "no disassembly read (i686-w64-mingw32-objdump)";
    const std::regex beyond(R"(%[xyz]mm[0-9]|%mm[0-7]|\s(popcnt|lzcnt|movbe|crc32[bwl]?|rdtscp|emms)\s)");
    std::istringstream lines(code);
    int found = 0;
    // The C++ exception tables of this target lie in .text between the
    // functions, and objdump decodes them as code too; such bytes show
    // undecodable "(bad)" lines close by, or instructions a user-mode
    // program never holds (port I/O, segment register pushes and pops),
    // real code does not.
    const std::regex data(R"(\(bad\)|\s(in|out|ins[bwl]?|outs[bwl]?)\s|\s(push|pop)\s+%[cdefgs]s)");
    constexpr int kDataNearby = 16;
    int sinceBad = kDataNearby;
    for (std::string line; std::getline(lines, line);) {
        sinceBad = std::regex_search(line, data) ? 0 : sinceBad + 1;
        if (!std::regex_search(line, beyond) || sinceBad < kDataNearby) continue;
        if (++found <= 5) ADD_FAILURE() << "an instruction beyond the Pentium Pro: " << line;
    }
    EXPECT_EQ(found, 0);
}

}  // namespace

// The built-in machine template: what a new machine folder holds.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/sim/machine/machine.h"

namespace fs = std::filesystem;

namespace sim {
namespace {

constexpr const char *kWizardStandIn = "mirtel-addprinter";

// The Add Printer Wizard stand-in: beside the running program when it is
// there (an installed or copied set of tools), else in the build's bin
// folder, where it is built.
std::string WizardStandInPath() {
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length > 0) {
        const fs::path beside = fs::path(std::string(exe, length)).parent_path() / kWizardStandIn;
        if (access(beside.c_str(), X_OK) == 0) return beside.string();
    }
#ifdef MIRTEL_BIN_DIR
    return std::string(MIRTEL_BIN_DIR) + "/" + kWizardStandIn;
#else
    return std::string();
#endif
}

std::string MachineIni() {
    return "; The simulated Windows machine: Windows XP Professional (NT 5.1), English.\n"
           "[Version]\n"
           "PlatformId=2\n"
           "MajorVersion=5\n"
           "MinorVersion=1\n"
           "BuildNumber=2600\n"
           "ProductType=1\n"
           "SuiteMask=0x0000\n"
           "VersionQueryFails=0\n"
           "\n"
           "[System]\n"
           "SystemDirectory=C:\\WINDOWS\\system32\n"
           "TempPath=C:\\WINDOWS\\Temp\\\n"
           "DefaultLangID=0x0409\n"
           "AnsiCodePage=1252\n"
           "Administrator=1\n"
           "ScreenWidth=1024\n"
           "ScreenHeight=768\n"
           "\n"
           "[Drives]\n"
           "C=drive_c\n"
           "Z=/\n"
           "\n"
           "[Programs]\n"
           "rundll32=" + WizardStandInPath() + "\n"
           "\n"
           "[Windows]\n"
           "\n"
           "[Strings]\n"
           "PRINTUI.DLL.15114=Add Printer Wizard\n"
           "\n"
           "[SetupApi]\n"
           "Present=1\n"
           "MissingExports=\n";
}

// "%SystemRoot%\inf" as REG_EXPAND_SZ, written the way regedit writes it,
// and the Setup key every Windows has: where it was installed from
// ("D:\" as REG_SZ, "D:\I386" as a REG_MULTI_SZ list of one).
constexpr const char *kRegistry =
    "REGEDIT4\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft]\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows]\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"
    "\"DevicePath\"=hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,5c,69,6e,66,00\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup]\n"
    "\"SourcePath\"=\"D:\\\\\"\n"
    "\"Installation Sources\"=hex(7):44,3a,5c,49,33,38,36,00,00\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software]\n"
    "\n";

bool WriteNewFile(const fs::path &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

bool Populate(const fs::path &folder, std::string *error) {
    std::error_code ec;
    for (const char *sub : {"drive_c/WINDOWS/system32", "drive_c/WINDOWS/Inf", "drive_c/WINDOWS/Temp"}) {
        fs::create_directories(folder / sub, ec);
        if (ec) {
            *error = (folder / sub).string() + ": " + ec.message();
            return false;
        }
    }
    if (!WriteNewFile(folder / "registry.reg", kRegistry) ||
        !WriteNewFile(folder / "machine.ini", MachineIni())) {
        *error = folder.string() + ": cannot write the machine's files";
        return false;
    }
    return true;
}

}  // namespace

bool CreateMachineFolder(const std::string &path, std::string *error) {
    const fs::path target(path);
    std::error_code ec;
    if (fs::exists(target, ec)) {
        *error = path + ": already exists";
        return false;
    }
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);

    // Built beside the target and renamed into place, so that two programs
    // making the same machine at once end with one whole folder.
    std::string staging = path + ".new-XXXXXX";
    if (mkdtemp(staging.data()) == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    chmod(staging.c_str(), 0755);
    if (!Populate(staging, error)) {
        fs::remove_all(staging, ec);
        return false;
    }
    if (rename(staging.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        fs::remove_all(staging, ec);
        const bool otherMadeIt = (renameError == EEXIST || renameError == ENOTEMPTY) &&
                                 fs::exists(target / "machine.ini", ec);
        if (!otherMadeIt) {
            *error = path + ": " + std::strerror(renameError);
            return false;
        }
    }
    return true;
}

}  // namespace sim

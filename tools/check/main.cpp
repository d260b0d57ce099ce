// mirtel-check: what the installer will do with a driver package on every
// Windows family and in every language the package speaks, found by
// running this build's installer on throw-away simulated machines and by
// reading the package's files through the installer's own code.
//
//   mirtel-check [--json] [--languages all|ENG,JPN,...] [--driver-folder DIR] PACKAGE-FOLDER
//
// Exit status: 0 every family installs in every language and no problem
// was found; 1 problems found; 2 the check could not be made (usage).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "families.h"
#include "findings.h"
#include "inf_checks.h"
#include "matrix.h"
#include "message_checks.h"
#include "options.h"
#include "package.h"
#include "progress.h"
#include "report_json.h"
#include "report_text.h"

namespace fs = std::filesystem;

namespace {

int Refuse(const std::string &message) {
    std::fprintf(stderr, "mirtel-check: %s\n%s\n", message.c_str(), check::kUsage);
    return 2;
}

// This build's installer, beside this program.
std::string SetupProgram() {
    std::error_code ec;
    return (fs::read_symlink("/proc/self/exe", ec).parent_path() / "setup").string();
}

// Keeps the languages asked for; false with the reason for one the
// package has no message file for.
bool KeepLanguages(const std::vector<std::string> &codes, std::vector<check::Language> *languages,
                   std::string *error) {
    if (codes.empty()) return true;
    std::vector<check::Language> kept;
    for (const std::string &code : codes) {
        const auto found = std::find_if(languages->begin(), languages->end(),
                                        [&](const check::Language &language) { return language.code == code; });
        if (found == languages->end()) {
            *error = "--languages: the package has no message file RES\\PSDI_" + code + ".IRC for " + code;
            return false;
        }
        kept.push_back(*found);
    }
    *languages = kept;
    return true;
}

std::map<std::string, std::string> PackageInfBytes(const std::string &package,
                                                   const std::vector<check::InfFile> &infs) {
    std::map<std::string, std::string> bytes;
    for (const check::InfFile &inf : infs) {
        std::string relative = inf.file;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        std::ifstream in(fs::path(package) / relative, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        bytes.emplace(text.str(), inf.file);
    }
    return bytes;
}

bool ColourWanted() {
    const char *term = std::getenv("TERM");
    return isatty(STDOUT_FILENO) && !std::getenv("NO_COLOR") && term && std::string(term) != "dumb";
}

}  // namespace

int main(int argc, char **argv) {
    const auto start = std::chrono::steady_clock::now();
    check::Options options;
    std::string error;
    if (!check::ParseOptions(argc, argv, &options, &error)) return Refuse(error);
    const std::string setup = SetupProgram();
    if (access(setup.c_str(), X_OK) != 0) return Refuse("the installer " + setup + " is missing");

    check::PackageMachine machine;
    if (!machine.Open(options.package, &error)) return Refuse(error);

    check::Report report;
    report.package = options.package;
    report.driverFolder = options.driverFolder;
    report.families = check::Families();
    report.languageTable = check::ReadLanguages(&report.languages, &report.problems);
    if (!KeepLanguages(options.languages, &report.languages, &error)) return Refuse(error);
    if (report.languages.empty())
        report.problems.push_back({"RES", 0, "no message file of a language: the installer stops with "
                                             "\"Resource file not found.\" on every system"});
    check::MessageTexts texts;
    check::CheckMessageFiles(&report.languages, &texts, &report.problems);

    const std::map<std::string, std::string> infBytes = [&] {
        check::ProgressLine progress;
        report.infs = check::CheckInfFiles(options.driverFolder, &report.problems, [&](std::size_t done, std::size_t total) {
            if (total >= 50 && (done % 10 == 0 || done == total)) progress.Show("reading INF files", done, total);
        });
        return PackageInfBytes(options.package, report.infs);
    }();

    check::MatrixInput input;
    input.package = options.package;
    input.driverFolder = options.driverFolder;
    input.setupProgram = setup;
    input.families = &report.families;
    input.languages = &report.languages;
    input.packageInfs = &infBytes;
    {
        check::ProgressLine progress;
        report.cells = check::RunMatrix(input, [&](std::size_t done, std::size_t total) {
            progress.Show("running the installer", done, total);
        });
    }
    check::NameBoxes(texts, &report.cells);
    check::NameStoredProviders(report.infs, &report.cells);
    check::JudgeCells(report, &report.problems);

    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (options.json) check::PrintJson(report, stdout);
    else check::PrintText(report, ColourWanted(), stdout);
    return report.problems.empty() ? 0 : 1;
}

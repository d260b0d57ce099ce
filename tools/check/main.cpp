// mirtel-check: what the installer will do with a driver package on every
// Windows family and in every language, found by running this build's
// installer on throw-away simulated machines and by reading the package's
// files through the installer's own code. `mirtel-check --help` tells the
// command line.
//
// Exit status: 0 no problem at or above the --fail-on severity; 1 problems
// found; 2 the check could not be made (usage); 130 cancelled.
#include <malloc.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "cancellation.h"
#include "families.h"
#include "findings.h"
#include "inf_checks.h"
#include "matrix.h"
#include "message_checks.h"
#include "options.h"
#include "package.h"
#include "progress.h"
#include "report_json.h"
#include "report_junit.h"
#include "report_text.h"

namespace fs = std::filesystem;

namespace {

int Refuse(const std::string &message) {
    std::fprintf(stderr, "mirtel-check: %s\n", message.c_str());
    return 2;
}

int Cancelled() {
    std::fprintf(stderr, "mirtel-check: cancelled; every temporary machine was removed\n");
    return 130;
}

// This build's installer, beside this program.
std::string SetupProgram() {
    std::error_code ec;
    return (fs::read_symlink("/proc/self/exe", ec).parent_path() / "setup").string();
}

// The languages asked for (each as +H: names it), or the package's own and
// the fallbacks; false with the reason for one no table knows.
bool ChooseLanguages(const std::vector<std::string> &names, std::vector<check::Language> *languages,
                     std::string *error) {
    if (names.empty()) {
        const std::vector<check::Language> fallbacks = check::FallbackLanguages(*languages);
        languages->insert(languages->end(), fallbacks.begin(), fallbacks.end());
        return true;
    }
    std::vector<check::Language> chosen;
    for (const std::string &name : names) {
        check::Language language;
        if (!check::LanguageNamed(name, *languages, &language)) {
            *error = "--languages: \"" + name + "\" is no language of the package's table or the built-in one";
            return false;
        }
        const bool twice = std::any_of(chosen.begin(), chosen.end(),
                                       [&](const check::Language &other) { return other.code == language.code; });
        if (!twice) chosen.push_back(language);
    }
    *languages = chosen;
    return true;
}

std::vector<check::Family> ChooseFamilies(const std::vector<std::string> &ids) {
    std::vector<check::Family> families;
    for (const check::Family &family : check::Families())
        if (ids.empty() || std::find(ids.begin(), ids.end(), family.id) != ids.end()) families.push_back(family);
    return families;
}

// The columns of the terminal standard output goes to; 0 when it goes
// elsewhere.
std::size_t TerminalWidth() {
    winsize size = {};
    if (!isatty(STDOUT_FILENO) || ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

bool ColourWanted() {
    const char *term = std::getenv("TERM");
    return isatty(STDOUT_FILENO) && !std::getenv("NO_COLOR") && term && std::string(term) != "dumb";
}

}  // namespace

int main(int argc, char **argv) {
    const auto start = std::chrono::steady_clock::now();
    check::WatchForCancellation();
    check::Options options;
    switch (check::ParseOptions(argc, argv, &options)) {
    case check::ParseResult::kDone: return 0;
    case check::ParseResult::kUnusable: return 2;
    case check::ParseResult::kRun: break;
    }
    const std::string setup = SetupProgram();
    if (access(setup.c_str(), X_OK) != 0) return Refuse("the installer " + setup + " is missing");

    std::string error;
    check::PackageMachine machine;
    if (!machine.Open(options.package, &error)) return Refuse(error);

    check::Report report;
    report.package = options.package;
    report.driverFolder = options.driverFolder;
    report.failOn = options.failOn;
    report.families = ChooseFamilies(options.families);
    report.languageTable = check::ReadLanguages(&report.languages, &report.problems);
    if (report.languages.empty() && report.languageTable.valid)
        report.problems.push_back({"message-file-missing", "RES", 0, {}, {},
                                   "no message file of a language: the installer stops with "
                                   "\"Resource file not found.\" on every system"});
    if (!ChooseLanguages(options.languages, &report.languages, &error)) return Refuse(error);
    check::MessageTexts texts;
    check::CheckMessageFiles(&report.languages, &texts, &report.problems);
    check::CheckDriverFolderName(report.driverFolder, report.languages, &report.problems);

    {
        check::ProgressLine progress;
        report.infs = check::CheckInfFiles(options.package, options.driverFolder, &report.problems,
                                           [&](std::size_t done, std::size_t total) {
                                               progress.Show("reading INF files", done, total);
                                           });
    }
    if (check::CancellationRequested()) return Cancelled();
    // What reading a large INF left on the heap goes back to the system
    // before the runs, which need memory of their own.
    malloc_trim(0);

    check::MatrixInput input;
    input.package = options.package;
    input.driverFolder = options.driverFolder;
    input.setupProgram = setup;
    input.families = &report.families;
    input.languages = &report.languages;
    input.infs = &report.infs;
    {
        check::ProgressLine progress;
        report.cells = check::RunMatrix(input, [&](std::size_t done, std::size_t total) {
            progress.Show("running the installer", done, total);
        });
    }
    if (check::CancellationRequested()) return Cancelled();
    check::NameBoxes(texts, &report.cells);
    check::NameStoredProviders(report.infs, &report.cells);
    check::JudgeCells(report, &report.problems);
    check::KeepCheckedFamilies(report.families, &report.problems);

    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!options.junitFile.empty() && !check::WriteJunit(report, options.junitFile, &error)) return Refuse(error);
    if (options.json) check::PrintJson(report, stdout);
    else check::PrintText(report, ColourWanted(), TerminalWidth(), stdout);
    return check::Fails(report) ? 1 : 0;
}

#include "options.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include <CLI/CLI.hpp>

#include "families.h"

namespace fs = std::filesystem;

namespace check {
namespace {

// `utf8` in lower case, letters beyond ASCII too (È and è are one letter
// to Windows).
std::u32string Folded(const std::string &utf8) {
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    std::u32string folded;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        folded += unicode ? static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), unicode))
                          : static_cast<char32_t>(c < 0x80 ? std::tolower(static_cast<int>(c)) : c);
    }
    return folded;
}

// The entry of `folder` named `name` without regard to case, as Windows
// finds it; an exact match first.
bool EntryNoCase(const fs::path &folder, const std::string &name, fs::path *found) {
    std::error_code ec;
    if (fs::exists(folder / name, ec)) {
        *found = folder / name;
        return true;
    }
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (Folded(it->path().filename().string()) != Folded(name)) continue;
        *found = it->path();
        return true;
    }
    return false;
}

// DIR taken within the package: a relative path, or an absolute one that
// lies inside it; each name matched without regard to case; "\"-separated
// as the installer's +G: switch takes it.
bool DriverFolderWithin(const fs::path &package, const std::string &dir, std::string *relative, std::string *error) {
    std::string text = dir;
    std::replace(text.begin(), text.end(), '\\', '/');
    fs::path path(text);
    if (path.is_absolute()) path = fs::weakly_canonical(path).lexically_relative(package);
    path = path.lexically_normal();
    const std::string normal = path.generic_string();
    if (normal.empty() || normal == "." || normal == "./") {
        relative->clear();
        return true;
    }
    if (normal == ".." || normal.rfind("../", 0) == 0) {
        *error = "--driver-folder: " + dir + " is not inside the package folder";
        return false;
    }
    fs::path found = package;
    for (const fs::path &name : path) {
        if (name.empty()) continue;
        std::error_code ec;
        if (!EntryNoCase(found, name.string(), &found) || !fs::is_directory(found, ec)) {
            *error = "--driver-folder: " + (package / path).string() + " is no folder";
            return false;
        }
    }
    *relative = found.lexically_relative(package).generic_string();
    std::replace(relative->begin(), relative->end(), '/', '\\');
    return true;
}

std::string Lower(std::string text) {
    for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

ParseResult ParseOptions(int argc, char **argv, Options *options) {
    CLI::App app{"What the installer will do with a driver package on every Windows family and in every "
                 "language, before the package ships.\n"
                 "Exit status: 0 nothing found at or above --fail-on, 1 problems found, 2 the check could not "
                 "be made, 130 cancelled.",
                 "mirtel-check"};
    app.set_version_flag("--version", std::string("mirtel-check ") + MIRTEL_PRODUCT_VERSION);
    std::string failOn = "warning";
    std::string families;
    app.add_flag("--json", options->json, "print the report as one JSON document");
    app.add_option("--junit", options->junitFile, "also write the report as JUnit XML to FILE")->type_name("FILE");
    app.add_option("--languages", options->languages,
                   "system languages to run: all (the package's and the fallbacks), or codes, names or "
                   "identifiers as +H: takes them (ENG, ENGLISH, 0409); repeated lists add up")
        ->delimiter(',')
        ->type_name("LIST");
    app.add_option("--families", families, "Windows families to check: all, or 95,98,nt4,xp,7")->type_name("LIST");
    app.add_option("--fail-on", failOn, "the lowest severity that makes the exit status 1")
        ->check(CLI::IsMember({"error", "warning"}, CLI::ignore_case));
    std::string driverFolder;
    app.add_option("--driver-folder", driverFolder,
                   "the folder given to the installer as +G:, within the package (names matched without "
                   "regard to case)")
        ->type_name("DIR");
    app.add_option("PACKAGE-FOLDER", options->package, "the driver package: the folder SETUP.EXE stands in")
        ->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        std::printf("%s", app.help().c_str());
        return ParseResult::kDone;
    } catch (const CLI::CallForVersion &e) {
        std::printf("%s\n", e.what());
        return ParseResult::kDone;
    } catch (const CLI::ParseError &e) {
        std::fprintf(stderr, "mirtel-check: %s\nRun with --help for more information.\n", e.what());
        return ParseResult::kUnusable;
    }
    const auto refuse = [](const std::string &reason) {
        std::fprintf(stderr, "mirtel-check: %s\nRun with --help for more information.\n", reason.c_str());
        return ParseResult::kUnusable;
    };
    options->failOn = Lower(failOn) == "error" ? Severity::kError : Severity::kWarning;
    if (options->languages.size() == 1 && Lower(options->languages[0]) == "all") options->languages.clear();
    if (!families.empty() && Lower(families) != "all") {
        std::string list = families + ",";
        for (std::size_t begin = 0, end; (end = list.find(',', begin)) != std::string::npos; begin = end + 1) {
            const std::string id = Lower(list.substr(begin, end - begin));
            const bool known = std::any_of(Families().begin(), Families().end(),
                                           [&](const Family &family) { return family.id == id; });
            if (!known) return refuse("--families: \"" + id + "\" is none of 95, 98, nt4, xp, 7");
            if (std::find(options->families.begin(), options->families.end(), id) == options->families.end())
                options->families.push_back(id);
        }
    }
    std::error_code ec;
    const fs::path package = fs::canonical(options->package, ec);
    if (ec || !fs::is_directory(package)) return refuse(options->package + " is no folder");
    options->package = package.string();
    std::string error;
    if (!driverFolder.empty() && !DriverFolderWithin(package, driverFolder, &options->driverFolder, &error))
        return refuse(error);
    return ParseResult::kRun;
}

}  // namespace check

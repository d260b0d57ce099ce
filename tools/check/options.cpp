#include "options.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace check {
namespace {

std::vector<std::string> LanguageCodes(const std::string &list, std::string *error) {
    std::vector<std::string> codes;
    if (list == "all") return codes;
    std::size_t begin = 0;
    while (begin <= list.size()) {
        const std::size_t end = std::min(list.find(',', begin), list.size());
        std::string code = list.substr(begin, end - begin);
        begin = end + 1;
        for (char &c : code) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (code.size() != 3) {
            *error = "--languages: \"" + code + "\" is no three-letter language code";
            return {};
        }
        codes.push_back(code);
    }
    return codes;
}

// DIR taken within the package: a relative path, or an absolute one that
// lies inside it; "\"-separated as the installer's +G: switch takes it.
bool DriverFolderWithin(const fs::path &package, const std::string &dir, std::string *relative,
                        std::string *error) {
    std::string text = dir;
    std::replace(text.begin(), text.end(), '\\', '/');
    fs::path path(text);
    if (path.is_absolute()) path = fs::weakly_canonical(path).lexically_relative(package);
    path = path.lexically_normal();
    const std::string normal = path.generic_string();
    if (normal.empty() || normal == ".") {
        relative->clear();
        return true;
    }
    if (normal == ".." || normal.rfind("../", 0) == 0) {
        *error = "--driver-folder: " + dir + " is not inside the package folder";
        return false;
    }
    if (!fs::is_directory(package / path)) {
        *error = "--driver-folder: " + (package / path).string() + " is no folder";
        return false;
    }
    *relative = normal;
    if (!relative->empty() && relative->back() == '/') relative->pop_back();
    std::replace(relative->begin(), relative->end(), '/', '\\');
    return true;
}

}  // namespace

bool ParseOptions(int argc, char **argv, Options *options, std::string *error) {
    std::string driverFolder;
    bool driverFolderGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--json") {
            options->json = true;
        } else if (argument == "--languages" || argument == "--driver-folder") {
            if (!hasValue) {
                *error = argument + " needs a value";
                return false;
            }
            const std::string value = argv[++i];
            if (argument == "--driver-folder") {
                driverFolder = value;
                driverFolderGiven = true;
                continue;
            }
            error->clear();
            options->languages = LanguageCodes(value, error);
            if (!error->empty()) return false;
        } else if (argument.rfind("--", 0) == 0) {
            *error = "unknown option " + argument;
            return false;
        } else if (options->package.empty()) {
            options->package = argument;
        } else {
            *error = "more than one package folder: " + options->package + ", " + argument;
            return false;
        }
    }
    if (options->package.empty()) {
        *error = "no package folder given";
        return false;
    }
    std::error_code ec;
    const fs::path package = fs::canonical(options->package, ec);
    if (ec || !fs::is_directory(package)) {
        *error = options->package + " is no folder";
        return false;
    }
    options->package = package.string();
    return !driverFolderGiven || DriverFolderWithin(package, driverFolder, &options->driverFolder, error);
}

}  // namespace check

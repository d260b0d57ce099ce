#include "package_copy.h"

#include <strings.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace check {
namespace {

bool EndsWithNoCase(const std::string &text, const char *suffix) {
    const std::size_t length = std::strlen(suffix);
    return text.size() >= length && strcasecmp(text.c_str() + text.size() - length, suffix) == 0;
}

// What the installer reads of a package: the message and notice files, the
// language table and the INF files. Driver files are left out.
bool ReadByInstaller(const fs::path &relative) {
    const std::string name = relative.filename().string();
    return strcasecmp(relative.begin()->string().c_str(), "RES") == 0 || EndsWithNoCase(name, ".inf") ||
           EndsWithNoCase(name, ".ini");
}

void Unreadable(const fs::path &file, std::error_code *ec) {
    ec->clear();
    std::ofstream(file, std::ios::binary);
    fs::permissions(file, fs::perms::none, *ec);
}

}  // namespace

bool LinkPackage(const std::string &from, const std::string &to, std::string *error) {
    std::error_code ec;
    fs::create_directories(to, ec);
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path target = fs::path(to) / it->path().lexically_relative(from);
        if (it->is_directory(ec)) {
            fs::create_directories(target, ec);
        } else {
            fs::create_hard_link(it->path(), target, ec);
            if (ec) fs::copy_file(it->path(), target, ec);
        }
    }
    if (ec) *error = "cannot copy the package: " + ec.message();
    return !ec;
}

bool CopyPackage(const std::string &package, const std::string &copy, const std::string &setupProgram,
                 std::string *error) {
    std::error_code ec;
    fs::create_directories(copy, ec);
    for (fs::recursive_directory_iterator it(package, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path relative = it->path().lexically_relative(package);
        if (it->is_directory(ec)) {
            fs::create_directories(fs::path(copy) / relative, ec);
        } else if (it->is_regular_file(ec) && ReadByInstaller(relative)) {
            fs::copy_file(it->path(), fs::path(copy) / relative, ec);
            // A file the vendor's user cannot read stays unreadable in the
            // copy, so that the installer meets it as it would.
            if (ec == std::errc::permission_denied) Unreadable(fs::path(copy) / relative, &ec);
        }
    }
    if (ec) {
        *error = "cannot copy the package: " + ec.message();
        return false;
    }
    const fs::path program = fs::path(copy) / "setup";
    fs::copy_file(setupProgram, program, ec);
    if (ec) *error = "cannot copy " + setupProgram + ": " + ec.message();
    return !ec;
}

}  // namespace check

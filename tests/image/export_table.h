// The table of what each Windows version exports (windows_exports.txt).
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

namespace exports {

// The Windows versions SETUP.EXE runs on, oldest first in each family.
constexpr std::array<const char *, 8> kVersions = {"95", "98", "Me", "NT 4.0", "2000", "XP", "Vista", "7"};

enum class Availability { Exported, Stub, Missing };

struct Row {
    std::string dll;
    std::string function;
    std::array<Availability, kVersions.size()> versions;
    std::string source;
    std::string note;
};

struct Table {
    std::map<std::string, std::string> sources;  // key -> description
    std::vector<Row> rows;
    std::vector<std::string> errors;              // lines that could not be read

    // The row of a function, DLL names compared without regard to case as
    // the loader does; null when the table has none.
    const Row *Find(const std::string &dll, const std::string &function) const;
};

Table ReadTable(const std::string &path);

}  // namespace exports

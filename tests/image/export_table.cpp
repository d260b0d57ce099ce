#include "image/export_table.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace exports {
namespace {

bool SameDll(const std::string &a, const std::string &b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Rest(std::istringstream &line) {
    std::string rest;
    std::getline(line >> std::ws, rest);
    return rest;
}

}  // namespace

const Row *Table::Find(const std::string &dll, const std::string &function) const {
    for (const Row &row : rows) {
        if (row.function == function && SameDll(row.dll, dll)) return &row;
    }
    return nullptr;
}

Table ReadTable(const std::string &path) {
    Table table;
    std::ifstream file(path);
    if (!file) {
        table.errors.push_back("cannot open " + path);
        return table;
    }
    std::string text;
    for (int number = 1; std::getline(file, text); ++number) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream line(text);
        const std::string where = path + ":" + std::to_string(number);
        std::string first;
        line >> first;
        if (first == "@source") {
            std::string key;
            line >> key;
            table.sources[key] = Rest(line);
            continue;
        }
        Row row;
        row.dll = first;
        line >> row.function;
        bool readable = !row.function.empty();
        for (Availability &availability : row.versions) {
            std::string cell;
            line >> cell;
            if (cell == "x") availability = Availability::Exported;
            else if (cell == "s") availability = Availability::Stub;
            else if (cell == "-") availability = Availability::Missing;
            else readable = false;
        }
        line >> row.source;
        row.note = Rest(line);
        if (!readable || row.source.empty()) {
            table.errors.push_back(where + ": not a row: " + text);
            continue;
        }
        table.rows.push_back(row);
    }
    return table;
}

}  // namespace exports

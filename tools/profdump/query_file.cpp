#include "query_file.h"

#include <fstream>
#include <sstream>

namespace profdump {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Unescaped(const std::string &field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char next = field[++i];
        if (next == 't') out += '\t';
        else if (next == 'n') out += '\n';
        else if (next == 'r') out += '\r';
        else if (next == 'x' && i + 2 < field.size() && HexDigit(field[i + 1]) >= 0 && HexDigit(field[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(field[i + 1]) * 16 + HexDigit(field[i + 2]));
            i += 2;
        } else {
            out += next;  // "\\" and anything else: the character itself
        }
    }
    return out;
}

}  // namespace

bool ReadQueryFile(const std::string &path, std::vector<Query> *queries) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        Query query;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            const std::string field = line.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
            query.push_back(field == "<null>" ? Arg::Null() : Arg::Text(Unescaped(field)));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        queries->push_back(std::move(query));
    }
    return !in.bad();
}

}  // namespace profdump

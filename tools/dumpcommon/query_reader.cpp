#include "dumpcommon/query_reader.h"

#include <fstream>

namespace dumpcommon {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

Arg ParseField(const std::string &field) {
    if (field == "<null>") return Arg::Null();
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 >= field.size()) {
            text += field[i];
            continue;
        }
        const char next = field[i + 1];
        if (next == '\\') text += '\\';
        else if (next == 't') text += '\t';
        else if (next == 'n') text += '\n';
        else if (next == 'r') text += '\r';
        else if (next == 'x' && i + 3 < field.size() && HexDigit(field[i + 2]) >= 0 && HexDigit(field[i + 3]) >= 0) {
            text += static_cast<char>(HexDigit(field[i + 2]) * 16 + HexDigit(field[i + 3]));
            i += 2;
        } else {
            text += field[i];
            continue;
        }
        ++i;
    }
    return Arg::Text(text);
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
            query.push_back(ParseField(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        queries->push_back(std::move(query));
    }
    return !in.bad();
}

}  // namespace dumpcommon

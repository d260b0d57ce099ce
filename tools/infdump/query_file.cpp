#include "query_file.h"

#include <cstdio>
#include <fstream>

namespace infdump {
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

void RunFind(const SetupApiCalls &api, win::HINF inf, InfDumper &dumper, const Arg &section, const Arg &key) {
    std::printf("query find %s %s:\n", Printed(section).c_str(), Printed(key).c_str());
    win::INFCONTEXT context = {};
    int matches = 0;
    win::SetLastError(0);
    bool found = api.FindFirstLine(inf, section.Get(), key.Get(), &context) != win::FALSE;
    win::DWORD error = win::GetLastError();
    while (found) {
        std::printf("  match %d: line=%u%s\n", matches++, context.Line, dumper.FileTag(context).c_str());
        dumper.DumpLine("    ", context);
        win::SetLastError(0);
        found = (key.null ? api.FindNextLine(&context, &context)
                          : api.FindNextMatchLine(&context, key.Get(), &context)) != win::FALSE;
        error = win::GetLastError();
    }
    std::printf("  end n=%d err=%s\n", matches, ErrorCode(error).c_str());
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
        queries->push_back(query);
    }
    return true;
}

void RunQuery(const SetupApiCalls &api, win::HINF inf, InfDumper &dumper, const Query &query) {
    const std::string verb = query[0].null ? std::string() : query[0].text;
    if (verb == "count" && query.size() == 2) {
        win::SetLastError(0);
        const win::LONG count = api.GetLineCount(inf, query[1].Get());
        const win::DWORD error = win::GetLastError();
        std::printf("query count %s: count=%ld", Printed(query[1]).c_str(), static_cast<long>(count));
        if (count < 0) std::printf(" err=%s", ErrorCode(error).c_str());
        std::printf("\n");
    } else if (verb == "linetext" && query.size() == 3) {
        std::printf("query linetext %s %s: %s\n", Printed(query[1]).c_str(), Printed(query[2]).c_str(),
                    dumper.ReadLineText(nullptr, query[1].Get(), query[2].Get()).Describe().c_str());
    } else if (verb == "find" && query.size() == 3) {
        RunFind(api, inf, dumper, query[1], query[2]);
    } else if (verb == "section" && query.size() == 2) {
        std::printf("query section:\n");
        dumper.DumpSection("  ", query[1], true);
    } else {
        std::printf("query bad:");
        for (const Arg &field : query) std::printf(" %s", Printed(field).c_str());
        std::printf("\n");
    }
}

}  // namespace infdump

#include "query_file.h"

#include <cstdio>

namespace infdump {
namespace {

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

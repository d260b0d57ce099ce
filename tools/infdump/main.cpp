// infdump: the canonical dump of what the setup API gives for an INF file,
// for comparison with the conformance cases.
//
//   infdump [--all] [--q=<query-file>] <inf-path> [section ...]
//
//   infdump --batch <batch-file>
//
// <inf-path> is a host path (a path that already starts with a drive
// letter is taken as a Windows path). The setup API is "SetupApi.DLL",
// loaded by name: the simulated machine's own in the native build, the
// system's in the Windows build (under Wine: Wine's).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "dumpcommon/batch.h"
#include "dumpcommon/host_path.h"
#include "inf_dumper.h"
#include "installer_models.h"
#include "query_file.h"
#include "setup_api_calls.h"

namespace {

using infdump::Arg;
using infdump::ErrorCode;
using infdump::InfDumper;
using infdump::Printed;
using infdump::SetupApiCalls;
using infdump::SizeGet;

const char *const kVersionKeys[] = {"Signature", "Class", "ClassGUID", "Provider",
                                    "LayoutFile", "DriverVer", "CatalogFile"};

struct Options {
    bool all = false;
    std::string queryFile;
    std::string infPath;
    std::vector<std::string> sections;
};

bool ParseOptions(const std::vector<std::string> &arguments, Options *options) {
    for (const std::string &argument : arguments) {
        if (argument == "--all") options->all = true;
        else if (argument.rfind("--q=", 0) == 0) options->queryFile = argument.substr(4);
        else if (options->infPath.empty()) options->infPath = argument;
        else options->sections.push_back(argument);
    }
    return !options->infPath.empty();
}

// The style as the installer's open step reads it: the size, then the
// record. 0 when either call fails.
win::DWORD PrintInfo(const SetupApiCalls &api, const std::string &path) {
    win::DWORD required = 0;
    win::SetLastError(0);
    if (!api.GetInfInformation(path.c_str(), win::INFINFO_INF_NAME_IS_ABSOLUTE, nullptr, 0, &required)) {
        std::printf("info: fail err=%s\n", ErrorCode(win::GetLastError()).c_str());
        return 0;
    }
    std::vector<win::BYTE> buffer(std::max<std::size_t>(required, sizeof(win::SP_INF_INFORMATION)));
    auto *info = reinterpret_cast<win::SP_INF_INFORMATION *>(buffer.data());
    win::SetLastError(0);
    if (!api.GetInfInformation(path.c_str(), win::INFINFO_INF_NAME_IS_ABSOLUTE, info, required, &required)) {
        std::printf("info: get=fail err=%s\n", ErrorCode(win::GetLastError()).c_str());
        return 0;
    }
    std::printf("info: ok style=%lu count=%lu\n", static_cast<unsigned long>(info->InfStyle),
                static_cast<unsigned long>(info->InfCount));
    return info->InfStyle;
}

// Names the [Manufacturer] lines offer as models sections: each line's
// key, text, first value and first value "." each further value.
std::vector<std::string> ModelCandidates(const SetupApiCalls &api, win::HINF inf, InfDumper &dumper) {
    std::vector<std::string> candidates;
    auto consider = [&](const std::string &name) {
        if (std::find(candidates.begin(), candidates.end(), name) == candidates.end()) candidates.push_back(name);
    };
    const win::LONG count = api.GetLineCount(inf, "Manufacturer");
    for (win::LONG i = 0; i < count; ++i) {
        win::INFCONTEXT context = {};
        if (!api.GetLineByIndex(inf, "Manufacturer", static_cast<win::DWORD>(i), &context)) continue;
        for (const SizeGet &read : {dumper.ReadField(&context, 0), dumper.ReadLineText(&context, nullptr, nullptr)})
            if (read.Usable()) consider(read.text);
        const SizeGet first = dumper.ReadField(&context, 1);
        if (first.Usable()) consider(first.text);
        const win::DWORD fields = api.GetFieldCount(&context);
        for (win::DWORD j = 2; j <= fields; ++j) {
            const SizeGet decoration = dumper.ReadField(&context, j);
            if (first.Usable() && decoration.Usable()) consider(first.text + "." + decoration.text);
        }
    }
    return candidates;
}

void PrintAllSections(const SetupApiCalls &api, win::HINF inf, InfDumper &dumper) {
    if (api.EnumInfSections == nullptr) {
        std::printf("all: unavailable\n");
        return;
    }
    std::vector<std::string> names;
    win::DWORD end = 0;
    for (win::UINT index = 0;; ++index) {
        win::DWORD required = 0;
        win::SetLastError(0);
        if (!api.EnumInfSections(inf, index, nullptr, 0, &required)) {
            end = win::GetLastError();
            break;
        }
        std::string name(required, '\0');
        win::SetLastError(0);
        if (!api.EnumInfSections(inf, index, &name[0], required, &required)) {
            end = win::GetLastError();
            break;
        }
        name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
        names.push_back(name);
    }
    std::printf("all: n=%zu end=%s\n", names.size(), ErrorCode(end).c_str());
    for (const std::string &name : names) dumper.DumpSection("  ", Arg::Text(name), true);
}

void Dump(const SetupApiCalls &api, const Options &options, const std::vector<infdump::Query> &queries) {
    const std::string path = dumpcommon::WindowsPathOf(options.infPath);
    std::printf("infdump 1\n");
    const win::DWORD style = PrintInfo(api, path);

    win::UINT errorLine = 0;
    win::SetLastError(0);
    const win::HINF inf = api.OpenInfFile(path.c_str(), nullptr, win::INF_STYLE_WIN4, &errorLine);
    if (inf == win::INVALID_HANDLE_VALUE) {
        std::printf("open: fail err=%s errline=%u\n", ErrorCode(win::GetLastError()).c_str(), errorLine);
        std::printf("project: not-open\nend\n");
        return;
    }
    std::printf("open: ok errline=%u\n", errorLine);

    errorLine = 0;
    win::SetLastError(0);
    if (api.OpenAppendInfFile(nullptr, inf, &errorLine))
        std::printf("append: ok errline=%u\n", errorLine);
    else
        std::printf("append: fail err=%s errline=%u\n", ErrorCode(win::GetLastError()).c_str(), errorLine);

    InfDumper dumper(api, inf);
    for (const char *key : kVersionKeys)
        std::printf("version %s: %s\n", key, dumper.ReadLineText(nullptr, "Version", key).Describe().c_str());

    std::printf("manufacturer:\n");
    dumper.DumpSection("  ", Arg::Text("Manufacturer"), true);

    const std::vector<std::string> candidates = ModelCandidates(api, inf, dumper);
    std::printf("models: candidates=%zu\n", candidates.size());
    for (const std::string &name : candidates) dumper.DumpSection("  ", Arg::Text(name), !options.all);

    if (style == win::INF_STYLE_WIN4) infdump::PrintInstallerModels(infdump::ReadInstallerModels(api, inf));
    else std::printf("project: not-open\n");

    if (!options.sections.empty()) {
        std::printf("named: n=%zu\n", options.sections.size());
        for (const std::string &name : options.sections) dumper.DumpSection("  ", Arg::Text(name), true);
    }
    if (options.all) PrintAllSections(api, inf, dumper);
    for (const infdump::Query &query : queries) infdump::RunQuery(api, inf, dumper, query);
    std::printf("end\n");
    api.CloseInfFile(inf);
}

int DumpOne(const SetupApiCalls &api, const std::vector<std::string> &arguments) {
    Options options;
    if (!ParseOptions(arguments, &options)) {
        std::fprintf(stderr, "usage: infdump [--all] [--q=<query-file>] <inf-path> [section ...]\n"
                             "       infdump --batch <batch-file>\n");
        return 2;
    }
    std::vector<infdump::Query> queries;
    if (!options.queryFile.empty() && !dumpcommon::ReadQueryFile(options.queryFile, &queries)) {
        std::fprintf(stderr, "infdump: cannot read query file %s\n", options.queryFile.c_str());
        return 2;
    }
    Dump(api, options, queries);
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    infdump::SetupApiLibrary library;
    if (!library.Load()) return 1;
    if (arguments.size() == 2 && arguments[0] == "--batch")
        return dumpcommon::RunBatch(arguments[1], [&library](const std::vector<std::string> &job) {
            return DumpOne(library.Calls(), job);
        });
    return DumpOne(library.Calls(), arguments);
}

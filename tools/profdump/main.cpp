// profdump: the canonical dump of what GetPrivateProfileStringA gives for
// an INI or INF file, for comparison with the conformance cases.
//
//   profdump <ini-path> <section|-> <key|-> <bufsize> [<default>|-]
//   profdump <ini-path> @<query-file>
//   profdump <ini-path> --auto [@<query-file>]
//   profdump --env
//
// <ini-path> is a host path, read through the simulated machine's drives
// (a path that already starts with a drive letter is taken as a Windows
// path).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "dumpcommon/query_reader.h"
#include "platform/profile.h"
#include "platform/sim/files/paths.h"
#include "platform/sim/machine/machine.h"
#include "profile_probe.h"

namespace {

using profdump::Arg;

constexpr unsigned long kLargeBuffer = 65536;
constexpr unsigned long kLargestProbedSize = 65535;
const Arg kNoKey = Arg::Text("NOKEY");
const Arg kEmpty = Arg::Text("");

// The OEM code page that goes with an ANSI code page on Windows.
unsigned OemCodePage(unsigned ansi) {
    switch (ansi) {
    case 1250: return 852;
    case 1251: return 866;
    case 1252: return 437;
    case 1253: return 737;
    case 1254: return 857;
    case 1255: return 862;
    case 1256: return 720;
    case 1257: return 775;
    default: return ansi;
    }
}

std::string WindowsPathOf(const std::string &argument) {
    const bool windows = argument.size() >= 2 && argument[1] == ':';
    return windows ? argument : sim::WindowsPath(argument);
}

// Sizes in ascending order, without duplicates, from 1 to 65535.
std::set<unsigned long> Sizes(std::initializer_list<long> candidates) {
    std::set<unsigned long> sizes;
    for (long size : candidates)
        if (size >= 1 && size <= static_cast<long>(kLargestProbedSize)) sizes.insert(static_cast<unsigned long>(size));
    return sizes;
}

void DumpKey(const std::string &file, const Arg &section, const std::string &key) {
    const Arg keyArg = Arg::Text(key);
    std::printf("  key %s:\n", profdump::Quoted(key).c_str());
    const long value = static_cast<long>(profdump::PrintGet("    ", file, section, keyArg, kNoKey, kLargeBuffer).ret);
    for (unsigned long size : Sizes({1, 2, 16, value, value + 1}))
        profdump::PrintGet("    ", file, section, keyArg, kNoKey, size);
    profdump::PrintRead("    ", file, section, keyArg);
}

void DumpAuto(const std::string &file) {
    std::printf("sections:\n");
    const long all = static_cast<long>(profdump::PrintGet("  ", file, Arg::Null(), Arg::Null(), kNoKey, kLargeBuffer).ret);
    for (unsigned long size : Sizes({1, 2, 3, 16, all - 1, all, all + 1, all + 2}))
        profdump::PrintGet("  ", file, Arg::Null(), Arg::Null(), kNoKey, size);
    profdump::PrintReadNames("  ", file, Arg::Null());

    std::vector<char> buffer(kLargeBuffer);
    const unsigned long ret = win::GetPrivateProfileStringA(nullptr, nullptr, "", buffer.data(), kLargeBuffer, file.c_str());
    const std::vector<std::string> sections = profdump::ListNames({ret, std::string(buffer.data(), buffer.size())});
    for (const std::string &name : sections) {
        const Arg section = Arg::Text(name);
        std::printf("section %s:\n", profdump::Quoted(name).c_str());
        profdump::PrintGet("  ", file, section, Arg::Null(), kNoKey, kLargeBuffer);
        const profdump::GetResult keys = profdump::PrintGet("  ", file, section, Arg::Null(), kEmpty, kLargeBuffer);
        const long listed = static_cast<long>(keys.ret);
        for (unsigned long size : Sizes({1, 2, 16, listed, listed + 1}))
            profdump::PrintGet("  ", file, section, Arg::Null(), kEmpty, size);
        profdump::PrintReadNames("  ", file, section);
        for (const std::string &key : profdump::ListNames(keys)) DumpKey(file, section, key);
    }
}

bool ParseSize(const std::string &text, unsigned long *size) {
    char *end = nullptr;
    *size = std::strtoul(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0';
}

void RunQueries(const std::string &file, const std::vector<dumpcommon::Query> &queries) {
    std::printf("queries:\n");
    std::string current = file;
    for (const dumpcommon::Query &query : queries) {
        const std::string command = query[0].null ? std::string() : query[0].text;
        unsigned long size = 0;
        if (command == "get" && (query.size() == 4 || query.size() == 5) && !query[3].null &&
            ParseSize(query[3].text, &size)) {
            profdump::PrintGet("", current, query[1], query[2], query.size() == 5 ? query[4] : kNoKey, size);
        } else if (command == "read" && query.size() == 3) {
            profdump::PrintRead("", current, query[1], query[2]);
        } else if (command == "readnames" && query.size() == 2) {
            profdump::PrintReadNames("", current, query[1]);
        } else if (command == "file" && query.size() == 2 && !query[1].null &&
                   (query[1].text == "missing" || query[1].text == "self")) {
            current = query[1].text == "missing" ? file + ".missing" : file;
            std::printf("file %s\n", query[1].text.c_str());
        } else {
            std::printf("query bad:");
            for (const Arg &field : query) std::printf(" %s", profdump::Printed(field).c_str());
            std::printf("\n");
        }
    }
}

Arg OptionalArg(const char *text) { return std::strcmp(text, "-") == 0 ? Arg::Null() : Arg::Text(text); }

int Usage() {
    std::fprintf(stderr,
                 "usage: profdump <ini-path> <section|-> <key|-> <bufsize> [<default>|-]\n"
                 "       profdump <ini-path> [--auto] [@<query-file>]\n"
                 "       profdump --env\n");
    return 2;
}

}  // namespace

bool LoadQueries(const char *argument, std::vector<dumpcommon::Query> *queries) {
    if (dumpcommon::ReadQueryFile(argument + 1, queries)) return true;
    std::fprintf(stderr, "profdump: cannot read the query file %s\n", argument + 1);
    return false;
}

int main(int argc, char **argv) {
    if (argc == 2 && std::strcmp(argv[1], "--env") == 0) {
        const unsigned acp = sim::Machine::Get().AnsiCodePage();
        std::printf("acp=%u oemcp=%u\n", acp, OemCodePage(acp));
        return 0;
    }
    if (argc < 3) return Usage();
    const std::string file = WindowsPathOf(argv[1]);
    const bool automatic = std::strcmp(argv[2], "--auto") == 0;
    const char *queryFile = automatic ? (argc == 4 ? argv[3] : nullptr) : argv[2];
    const bool dump = automatic ? argc <= 4 && (queryFile == nullptr || queryFile[0] == '@')
                                : argc == 3 && queryFile[0] == '@';
    if (dump) {
        std::vector<dumpcommon::Query> queries;
        if (queryFile != nullptr && !LoadQueries(queryFile, &queries)) return 2;
        std::printf("profdump 1\n");
        if (automatic) DumpAuto(file);
        if (queryFile != nullptr) RunQueries(file, queries);
        std::printf("end\n");
        return 0;
    }
    unsigned long size = 0;
    if (automatic || argc < 5 || argc > 6 || !ParseSize(argv[4], &size)) return Usage();
    std::printf("profdump 1\n");
    profdump::PrintGet("", file, OptionalArg(argv[2]), OptionalArg(argv[3]), argc == 6 ? OptionalArg(argv[5]) : kNoKey,
                       size);
    std::printf("end\n");
    return 0;
}

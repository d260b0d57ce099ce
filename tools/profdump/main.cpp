// profdump: the canonical dump of what GetPrivateProfileStringA gives for
// an INI or INF file, for comparison with the conformance cases.
//
//   profdump <ini-path> <section|-> <key|-> <bufsize> [<default>|-]
//   profdump <ini-path> @<query-file>
//   profdump <ini-path> --auto [@<query-file>]
//   profdump --env
//   profdump --batch <batch-file>
//
// <ini-path> is a host path (a path that already starts with a drive
// letter is taken as a Windows path).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "dumpcommon/batch.h"
#include "dumpcommon/host_path.h"
#include "dumpcommon/query_reader.h"
#include "platform/profile.h"
#include "platform/system.h"
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

Arg OptionalArg(const std::string &text) { return text == "-" ? Arg::Null() : Arg::Text(text); }

int Usage() {
    std::fprintf(stderr,
                 "usage: profdump <ini-path> <section|-> <key|-> <bufsize> [<default>|-]\n"
                 "       profdump <ini-path> [--auto] [@<query-file>]\n"
                 "       profdump --env\n"
                 "       profdump --batch <batch-file>\n");
    return 2;
}

bool LoadQueries(const std::string &argument, std::vector<dumpcommon::Query> *queries) {
    if (dumpcommon::ReadQueryFile(argument.substr(1), queries)) return true;
    std::fprintf(stderr, "profdump: cannot read the query file %s\n", argument.c_str() + 1);
    return false;
}

int DumpOne(const std::vector<std::string> &arguments) {
    const std::size_t count = arguments.size();
    if (count < 2) return Usage();
    const std::string file = dumpcommon::WindowsPathOf(arguments[0]);
    const bool automatic = arguments[1] == "--auto";
    const std::string *queryFile = automatic ? (count == 3 ? &arguments[2] : nullptr) : &arguments[1];
    const bool dump = automatic ? count <= 3 && (queryFile == nullptr || (*queryFile)[0] == '@')
                                : count == 2 && (*queryFile)[0] == '@';
    if (dump) {
        std::vector<dumpcommon::Query> queries;
        if (queryFile != nullptr && !LoadQueries(*queryFile, &queries)) return 2;
        std::printf("profdump 1\n");
        if (automatic) DumpAuto(file);
        if (queryFile != nullptr) RunQueries(file, queries);
        std::printf("end\n");
        return 0;
    }
    unsigned long size = 0;
    if (automatic || count < 4 || count > 5 || !ParseSize(arguments[3], &size)) return Usage();
    std::printf("profdump 1\n");
    profdump::PrintGet("", file, OptionalArg(arguments[1]), OptionalArg(arguments[2]),
                       count == 5 ? OptionalArg(arguments[4]) : kNoKey, size);
    std::printf("end\n");
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && arguments[0] == "--env") {
        const unsigned acp = win::GetACP();
        std::printf("acp=%u oemcp=%u\n", acp, OemCodePage(acp));
        return 0;
    }
    if (arguments.size() == 2 && arguments[0] == "--batch") return dumpcommon::RunBatch(arguments[1], DumpOne);
    return DumpOne(arguments);
}

#include "dumpcommon/batch.h"

#include <cstdio>
#include <fstream>

namespace dumpcommon {
namespace {

std::vector<std::string> Fields(const std::string &line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

}  // namespace

int RunBatch(const std::string &batchPath, const DumpRun &run) {
    std::ifstream batch(batchPath, std::ios::binary);
    if (!batch) {
        std::fprintf(stderr, "cannot read the batch file %s\n", batchPath.c_str());
        return 2;
    }
    int status = 0;
    for (std::string line; std::getline(batch, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::vector<std::string> fields = Fields(line);
        const std::string output = fields[0];
        fields.erase(fields.begin());
        std::fflush(stdout);
        if (std::freopen(output.c_str(), "wb", stdout) == nullptr) {
            std::fprintf(stderr, "cannot write %s\n", output.c_str());
            status = 1;
            continue;
        }
        const int result = run(fields);
        std::fflush(stdout);
        if (result != 0) {
            std::fprintf(stderr, "dump %s ended with status %d\n", output.c_str(), result);
            status = 1;
        }
    }
    return status;
}

}  // namespace dumpcommon

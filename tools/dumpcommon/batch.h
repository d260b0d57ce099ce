// Batch mode of the dumpers: one process makes many dumps, which keeps a
// differential run under Wine fast (one Wine process, not one per file).
//
// A batch file has one dump per line: the output file's path (a host
// path; under Wine the current drive is the host's root), then
// the dumper's arguments, separated by TAB. Each dump's standard output
// goes to its output file.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace dumpcommon {

using DumpRun = std::function<int(const std::vector<std::string> &arguments)>;

// Runs `run` for every line of the batch file; the status is 0 when every
// dump could be written and returned 0, else 1 (with one line per failed
// dump on standard error), 2 when the batch file cannot be read.
int RunBatch(const std::string &batchPath, const DumpRun &run);

}  // namespace dumpcommon

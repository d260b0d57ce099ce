#include "support/conformance_runner.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/paths.h"

namespace fs = std::filesystem;

namespace testing_conformance {
namespace {

// The project's own cases live in tests/conformance. The "real" cases are
// vendors' sample INFs that are not ours to ship: they are read from the
// shared folder beside the repository, and only when it is there.
fs::path ConformanceDir(const std::string &folder) {
    if (folder == "real") return fs::path(testing_paths::SharedDir()) / "conformance";
    return fs::path(testing_paths::SourceDir()) / "tests" / "conformance";
}

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool EndsWith(const std::string &text, const std::string &ending) {
    return text.size() > ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

}  // namespace

std::vector<Case> FindCases(const std::vector<CaseSource> &sources) {
    std::vector<Case> cases;
    for (const CaseSource &source : sources) {
        const std::string ending = source.dumpEnding;
        std::error_code error;
        for (const auto &entry : fs::directory_iterator(ConformanceDir(source.folder) / "expected" / source.folder, error)) {
            const std::string file = entry.path().filename().string();
            if (!EndsWith(file, ending)) continue;
            if (ending == ".out" && file.find(".prof.") != std::string::npos) continue;
            cases.push_back({source.folder, file.substr(0, file.size() - ending.size()), file});
        }
    }
    std::sort(cases.begin(), cases.end(),
              [](const Case &a, const Case &b) { return a.folder + a.name < b.folder + b.name; });
    return cases;
}

fs::path CaseFolder(const Case &c) { return ConformanceDir(c.folder) / c.folder; }

testing_machine::RunResult RunDumper(const std::string &tool, const Case &c,
                                     const std::vector<std::string> &arguments) {
    testing_machine::MachineFolder machine;
    machine.ReplaceIni("[System]\nSystemDirectory=C:\\windows\\system32\nAnsiCodePage=1252\n");
    return testing_machine::RunProgram(testing_paths::BinDir() + "/" + tool, arguments,
                                       {{"MIRTEL_MACHINE", machine.Path()}}, CaseFolder(c).string());
}

std::string ExpectedDump(const Case &c, const std::function<void(std::vector<std::string> &)> &adjust) {
    std::vector<std::string> lines = Lines(ReadFile(ConformanceDir(c.folder) / "expected" / c.folder / c.expected));
    if (adjust) adjust(lines);
    std::string text;
    for (const std::string &line : lines) text += line + "\n";
    return text;
}

std::string FirstDifference(const std::string &expected, const std::string &actual) {
    const std::vector<std::string> want = Lines(expected);
    const std::vector<std::string> got = Lines(actual);
    for (std::size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
        const std::string a = i < want.size() ? want[i] : "<end>";
        const std::string b = i < got.size() ? got[i] : "<end>";
        if (a != b) return "line " + std::to_string(i + 1) + "\n  expected: " + a + "\n  actual:   " + b;
    }
    return "same lines, different line ends";
}

std::string CaseTestName(const testing::TestParamInfo<Case> &info) {
    return info.param.folder + "_" + info.param.name;
}

}  // namespace testing_conformance

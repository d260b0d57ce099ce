// The setup API's view of every conformance case, dumped by infdump
// through the built-in "SetupApi.DLL", must match the dumps made on Wine
// byte for byte, error codes included, except where the engine answers as
// Windows does and Wine does not (the table below).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/machine_fixture.h"
#include "support/paths.h"

namespace {

namespace fs = std::filesystem;

struct KnownDifference {
    const char *caseName;
    const char *wineLine;
    const char *ourLine;
    const char *why;
};

const KnownDifference kKnownDifferences[] = {
    {"open_garbage_first_line", "info: fail err=0x00000002", "info: ok style=1 count=1",
     "Windows reports an existing file that is not a Windows 4 INF as INF_STYLE_OLDNT; Wine fails with "
     "ERROR_FILE_NOT_FOUND. The installer leaves such a file closed either way."},
};

struct ConformanceCase {
    std::string folder;  // "inf" or "real"
    std::string name;
};

std::string ConformanceDir() { return testing_paths::SharedDir() + "/conformance"; }

std::vector<ConformanceCase> AllCases() {
    std::vector<ConformanceCase> cases;
    for (const char *folder : {"inf", "real"}) {
        const fs::path expected = fs::path(ConformanceDir()) / "expected" / folder;
        std::error_code error;
        for (const auto &entry : fs::directory_iterator(expected, error)) {
            const std::string file = entry.path().filename().string();
            const std::string suffix = ".out";
            if (file.size() <= suffix.size() || file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0 ||
                file.find(".prof.") != std::string::npos)
                continue;
            cases.push_back({folder, file.substr(0, file.size() - suffix.size())});
        }
    }
    std::sort(cases.begin(), cases.end(),
              [](const ConformanceCase &a, const ConformanceCase &b) { return a.folder + a.name < b.folder + b.name; });
    return cases;
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

// The expected dump with Wine's answers replaced by ours where the
// engine follows Windows.
std::string ExpectedDump(const ConformanceCase &c) {
    std::vector<std::string> lines =
        Lines(ReadFile(fs::path(ConformanceDir()) / "expected" / c.folder / (c.name + ".out")));
    for (const KnownDifference &difference : kKnownDifferences) {
        if (c.name != difference.caseName) continue;
        auto line = std::find(lines.begin(), lines.end(), difference.wineLine);
        EXPECT_NE(line, lines.end()) << "known difference no longer in " << c.name << ": " << difference.wineLine;
        if (line != lines.end()) *line = difference.ourLine;
    }
    std::string text;
    for (const std::string &line : lines) text += line + "\n";
    return text;
}

// The first differing line, with its number, for a readable failure.
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

class InfConformance : public testing::TestWithParam<ConformanceCase> {};

TEST_P(InfConformance, DumpMatchesWine) {
    const ConformanceCase &c = GetParam();
    testing_machine::MachineFolder machine;
    machine.ReplaceIni("[System]\nSystemDirectory=C:\\windows\\system32\nAnsiCodePage=1252\n");
    const fs::path caseFolder = fs::path(ConformanceDir()) / c.folder;
    std::vector<std::string> arguments = {"--all"};
    if (fs::exists(caseFolder / (c.name + ".infq"))) arguments.push_back("--q=" + c.name + ".infq");
    arguments.push_back(c.name + ".inf");

    const testing_machine::RunResult run =
        testing_machine::RunProgram(testing_paths::BinDir() + "/infdump", arguments,
                                    {{"MIRTEL_MACHINE", machine.Path()}}, caseFolder.string());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string expected = ExpectedDump(c);
    EXPECT_EQ(run.out, expected) << FirstDifference(expected, run.out);
}

INSTANTIATE_TEST_SUITE_P(Cases, InfConformance, testing::ValuesIn(AllCases()),
                         [](const testing::TestParamInfo<ConformanceCase> &info) {
                             return info.param.folder + "_" + info.param.name;
                         });

TEST(InfConformanceCases, AreThere) { EXPECT_GE(AllCases().size(), 17u); }

}  // namespace

// The setup API's view of every conformance case, dumped by infdump
// through the built-in "SetupApi.DLL", must match the dumps made on Wine
// byte for byte, error codes included, except where the engine answers as
// Windows does and Wine does not (the table below).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/conformance_runner.h"

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

using testing_conformance::Case;

std::vector<Case> AllCases() { return testing_conformance::FindCases({{"inf", ".out"}, {"real", ".out"}}); }

// Wine's answers replaced by ours where the engine follows Windows.
void KnownDifferences(const Case &c, std::vector<std::string> &lines) {
    for (const KnownDifference &difference : kKnownDifferences) {
        if (c.name != difference.caseName) continue;
        auto line = std::find(lines.begin(), lines.end(), difference.wineLine);
        EXPECT_NE(line, lines.end()) << "known difference no longer in " << c.name << ": " << difference.wineLine;
        if (line != lines.end()) *line = difference.ourLine;
    }
}

class InfConformance : public testing::TestWithParam<Case> {};

TEST_P(InfConformance, DumpMatchesWine) {
    const Case &c = GetParam();
    std::vector<std::string> arguments = {"--all"};
    if (fs::exists(testing_conformance::CaseFolder(c) / (c.name + ".infq")))
        arguments.push_back("--q=" + c.name + ".infq");
    arguments.push_back(c.name + ".inf");

    const testing_machine::RunResult run = testing_conformance::RunDumper("infdump", c, arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string expected =
        testing_conformance::ExpectedDump(c, [&c](std::vector<std::string> &lines) { KnownDifferences(c, lines); });
    EXPECT_EQ(run.out, expected) << testing_conformance::FirstDifference(expected, run.out);
}

INSTANTIATE_TEST_SUITE_P(Cases, InfConformance, testing::ValuesIn(AllCases()), testing_conformance::CaseTestName);

// The project's own cases; the shared "real" ones come on top where present.
TEST(InfConformanceCases, AreThere) { EXPECT_GE(testing_conformance::FindCases({{"inf", ".out"}}).size(), 15u); }

}  // namespace

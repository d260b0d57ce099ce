// The setup API's view of every conformance case, dumped by infdump
// through the built-in "SetupApi.DLL", must match the expected dumps byte
// for byte, error codes included: Wine's answers, and Windows' where the
// two differ (BEHAVIOURS.md lists those places).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/conformance_runner.h"

namespace {

namespace fs = std::filesystem;

using testing_conformance::Case;

std::vector<Case> AllCases() { return testing_conformance::FindCases({{"inf", ".out"}, {"real", ".out"}}); }

class InfConformance : public testing::TestWithParam<Case> {};

TEST_P(InfConformance, DumpMatchesWineOrWindows) {
    const Case &c = GetParam();
    std::vector<std::string> arguments = {"--all"};
    if (fs::exists(testing_conformance::CaseFolder(c) / (c.name + ".infq")))
        arguments.push_back("--q=" + c.name + ".infq");
    arguments.push_back(c.name + ".inf");

    const testing_machine::RunResult run = testing_conformance::RunDumper("infdump", c, arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string expected = testing_conformance::ExpectedDump(c, nullptr);
    EXPECT_EQ(run.out, expected) << testing_conformance::FirstDifference(expected, run.out);
}

INSTANTIATE_TEST_SUITE_P(Cases, InfConformance, testing::ValuesIn(AllCases()), testing_conformance::CaseTestName);

// The project's own cases; the shared "real" ones come on top where present.
TEST(InfConformanceCases, AreThere) { EXPECT_GE(testing_conformance::FindCases({{"inf", ".out"}}).size(), 15u); }

}  // namespace

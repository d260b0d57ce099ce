// Runs a dumper tool over the conformance cases and compares its dump with
// the one made on Wine or Windows.
//
//   std::vector<testing_conformance::Case> cases =
//       testing_conformance::FindCases({{"ini", ".out"}, {"inf", ".prof.out"}});
//   RunResult run = testing_conformance::RunDumper("profdump", c, {"x.ini", "--auto"});
//   std::string expected = testing_conformance::ExpectedDump(c, nullptr);
//   EXPECT_EQ(run.out, expected) << testing_conformance::FirstDifference(expected, run.out);
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/machine_fixture.h"

namespace testing_conformance {

struct Case {
    std::string folder;    // "ini", "inf" or "real"
    std::string name;      // the case's file name without its ending
    std::string expected;  // the expected dump's file name under expected/<folder>/
};

// A folder of cases and the ending of its expected dumps there.
struct CaseSource {
    const char *folder;
    const char *dumpEnding;
};

// The cases with an expected dump in each source, by folder and name. A
// dump ending ".out" that holds ".prof." belongs to the profile reader's
// cases, not to those of a source whose ending is plain ".out".
std::vector<Case> FindCases(const std::vector<CaseSource> &sources);

// The folder that holds the case's files; dumpers run in it.
std::filesystem::path CaseFolder(const Case &c);

// Runs the built tool `tool` with `arguments` in the case's folder, against
// a throw-away machine with the cases' system folder and ANSI code page 1252.
testing_machine::RunResult RunDumper(const std::string &tool, const Case &c,
                                     const std::vector<std::string> &arguments);

// The expected dump, its lines first passed to `adjust` (when given) where
// the dumper answers as Windows does and the recorded dump does not.
std::string ExpectedDump(const Case &c, const std::function<void(std::vector<std::string> &)> &adjust);

// The first differing line, with its number, for a readable failure.
std::string FirstDifference(const std::string &expected, const std::string &actual);

// "<folder>_<name>", the case's name among the test's instances.
std::string CaseTestName(const testing::TestParamInfo<Case> &info);

}  // namespace testing_conformance

#include "report_junit.h"

#include <algorithm>
#include <cstdio>

#include <pugixml.hpp>

#include "problem_codes.h"

namespace check {
namespace {

struct TestCase {
    std::string className;
    std::string name;
    std::vector<const Problem *> problems;
};

bool Has(const std::vector<std::string> &list, const std::string &item) {
    return list.empty() || std::find(list.begin(), list.end(), item) != list.end();
}

std::string Line(const Problem &problem) {
    const std::string where = problem.file.empty() ? std::string() : problem.file + (problem.line ? ":" + std::to_string(problem.line) : "") + ": ";
    return std::string(SeverityName(SeverityOf(problem.code))) + " [" + problem.code + "] " + where + problem.message;
}

// Appends the suite; returns its number of failed cases.
std::size_t AddSuite(pugi::xml_node parent, const Report &report, const std::string &name,
                     const std::vector<TestCase> &cases) {
    pugi::xml_node suite = parent.append_child("testsuite");
    suite.append_attribute("name") = name.c_str();
    suite.append_attribute("tests") = static_cast<unsigned long long>(cases.size());
    pugi::xml_attribute failures = suite.append_attribute("failures");
    suite.append_attribute("errors") = 0;
    suite.append_attribute("skipped") = 0;
    suite.append_attribute("time") = 0;
    std::size_t failed = 0;
    for (const TestCase &test : cases) {
        pugi::xml_node node = suite.append_child("testcase");
        node.append_attribute("classname") = test.className.c_str();
        node.append_attribute("name") = test.name.c_str();
        node.append_attribute("time") = 0;
        std::string failing, told;
        const Problem *first = nullptr;
        for (const Problem *problem : test.problems) {
            if (Fails(report, *problem)) {
                failing += Line(*problem) + "\n";
                if (!first) first = problem;
            } else {
                told += Line(*problem) + "\n";
            }
        }
        if (first) {
            ++failed;
            pugi::xml_node failure = node.append_child("failure");
            failure.append_attribute("type") = first->code.c_str();
            failure.append_attribute("message") = first->message.c_str();
            failure.append_child(pugi::node_pcdata).set_value(failing.c_str());
        }
        if (!told.empty()) node.append_child("system-out").append_child(pugi::node_pcdata).set_value(told.c_str());
    }
    failures = static_cast<unsigned long long>(failed);
    return failed;
}

std::vector<TestCase> RunCases(const Report &report) {
    std::vector<TestCase> cases;
    for (const Cell &cell : report.cells) {
        TestCase test;
        for (const Family &family : report.families)
            if (family.id == cell.family) test.className = "mirtel-check.runs." + family.name;
        test.name = cell.language;
        for (const Problem &problem : report.problems)
            if (problem.file.empty() && !problem.families.empty() && Has(problem.families, cell.family) &&
                Has(problem.languages, cell.language))
                test.problems.push_back(&problem);
        cases.push_back(test);
    }
    return cases;
}

std::vector<TestCase> FileCases(const Report &report) {
    std::vector<std::string> files;
    const auto add = [&](const std::string &file) {
        if (!file.empty() && std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    };
    if (report.languageTable.source != "built-in") add(report.languageTable.source);
    for (const Language &language : report.languages) {
        add(language.messageFile);
        add(language.noticeFile);
    }
    for (const InfFile &inf : report.infs) add(inf.file);
    for (const Problem &problem : report.problems) add(problem.file);
    std::vector<TestCase> cases;
    for (const std::string &file : files) {
        TestCase test{"mirtel-check.files", file, {}};
        for (const Problem &problem : report.problems)
            if (problem.file == file) test.problems.push_back(&problem);
        cases.push_back(test);
    }
    // What belongs to no one file or run: named causes counted together.
    TestCase package{"mirtel-check.files", "package", {}};
    for (const Problem &problem : report.problems)
        if (problem.file.empty() && (problem.families.empty() || problem.code.rfind("run-", 0) != 0))
            package.problems.push_back(&problem);
    if (!package.problems.empty()) cases.push_back(package);
    return cases;
}

}  // namespace

bool WriteJunit(const Report &report, const std::string &path, std::string *error) {
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node suites = document.append_child("testsuites");
    suites.append_attribute("name") = "mirtel-check";
    const std::vector<TestCase> runs = RunCases(report), files = FileCases(report);
    suites.append_attribute("tests") = static_cast<unsigned long long>(runs.size() + files.size());
    pugi::xml_attribute failures = suites.append_attribute("failures");
    suites.append_attribute("errors") = 0;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", report.seconds);
    suites.append_attribute("time") = seconds;
    const std::size_t failed = AddSuite(suites, report, "mirtel-check.runs", runs) +
                               AddSuite(suites, report, "mirtel-check.files", files);
    failures = static_cast<unsigned long long>(failed);
    if (document.save_file(path.c_str(), "  ", pugi::format_default, pugi::encoding_utf8)) return true;
    *error = "--junit: cannot write " + path;
    return false;
}

}  // namespace check

// Driver packages made for a test, and runs of mirtel-check on them.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lang/message_keys.h"
#include "support/json_value.h"
#include "support/machine_fixture.h"
#include "support/paths.h"

namespace check_packages {


namespace fs = std::filesystem;
using testing_json::Value;

// A temporary package folder, removed when the object goes.
class Package {
public:
    Package() {
        std::string folder = (fs::temp_directory_path() / "mirtel-package-XXXXXX").string();
        if (mkdtemp(folder.data()) != nullptr) m_folder = folder;
    }
    ~Package() {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    const std::string &Folder() const { return m_folder; }
    void Write(const std::string &relative, const std::string &bytes) const {
        const fs::path path = fs::path(m_folder) / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

private:
    std::string m_folder;
};

// Every message the installer can show, "<key> text"; `lacking` left out,
// `badLine` put in as the third line of the file.
inline std::string Messages(const std::string &lacking = "", const std::string &badLine = "") {
    std::string text = "[String]\r\n";
    for (const char *key : kMessageKeys) {
        if (key != lacking) text += std::string(key) + "=" + key + " text\r\n";
        if (!badLine.empty() && key == std::string(msg::kAppTitle)) text += badLine + "\r\n";
    }
    return text;
}

inline std::string PrinterInf(const std::string &signature, const std::string &maker) {
    return "[Version]\r\nSignature=\"" + signature +
           "\"\r\nClass=Printer\r\nProvider=%Mfg%\r\n"
           "[Manufacturer]\r\n%Mfg%=Models\r\n[Models]\r\n\"Test Printer\"=TEST,TestPrinter\r\n"
           "[Strings]\r\nMfg=\"" + maker + "\"\r\n";
}

struct CheckRun {
    testing_machine::RunResult result;
    Value json;
};

inline CheckRun RunCheck(const std::vector<std::string> &arguments) {
    CheckRun run;
    run.result = testing_machine::RunProgram(testing_paths::BinDir() + "/mirtel-check", arguments, {});
    std::string error;
    if (std::find(arguments.begin(), arguments.end(), "--json") != arguments.end()) {
        EXPECT_TRUE(testing_json::Parse(run.result.out, &run.json, &error)) << error << "\n" << run.result.out;
    }
    return run;
}

inline const Value *RunOf(const Value &json, const std::string &family, const std::string &language) {
    for (const Value &run : json["runs"].items)
        if (run["family"].text == family && run["language"].text == language) return &run;
    ADD_FAILURE() << "no run for " << family << " " << language;
    return nullptr;
}

inline std::string Mark(const Value &json, const std::string &family, const std::string &language) {
    const Value *run = RunOf(json, family, language);
    return run ? (*run)["mark"].text : std::string();
}

// The problems, "file[:line]: message" ("message" for a run's), as the
// table prints them.
inline std::vector<std::string> Problems(const Value &json) {
    std::vector<std::string> lines;
    for (const Value &problem : json["problems"].items) {
        std::string where = problem["file"].IsNull() ? "" : problem["file"].text;
        if (!problem["line"].IsNull()) where += ":" + std::to_string(static_cast<int>(problem["line"].number));
        lines.push_back((where.empty() ? "" : where + ": ") + problem["message"].text);
    }
    return lines;
}

// The problem line that begins with `start`; empty when there is none.
inline std::string ProblemStarting(const Value &json, const std::string &start) {
    for (const std::string &line : Problems(json))
        if (line.rfind(start, 0) == 0) return line;
    return std::string();
}

// The first problem of `code`; null when there is none.
inline const Value *ProblemOf(const Value &json, const std::string &code) {
    for (const Value &problem : json["problems"].items)
        if (problem["code"].text == code) return &problem;
    return nullptr;
}

}  // namespace check_packages

// An INF engine over files held in memory, for tests of the engine's
// corners without a machine: Windows folder C:\windows, system folder
// C:\windows\system32, current directory C:\work.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/setupapi/setupapi_engine.h"

namespace inf_test {

class MemoryFiles : public sim::setupapi::FileAccess {
public:
    // Every Add gives the file a new stamp, as a write gives it a new
    // modification time.
    void Add(const std::string &fullPath, const std::string &bytes) {
        m_files[Upper(fullPath)] = {bytes, ++m_writes};
    }
    int Reads() const { return m_reads; }

    std::string FullPath(const std::string &path) const override {
        if (path.size() >= 2 && path[1] == ':') return path;
        return "C:\\work\\" + (path.rfind(".\\", 0) == 0 ? path.substr(2) : path);
    }
    win::DWORD Read(const std::string &fullPath, sim::setupapi::TextBuffer *bytes) const override {
        auto found = m_files.find(Upper(fullPath));
        if (found == m_files.end()) return win::ERROR_FILE_NOT_FOUND;
        *bytes = sim::setupapi::TextBuffer(found->second.bytes);
        ++m_reads;
        return win::NO_ERROR;
    }
    bool Stamp(const std::string &fullPath, sim::setupapi::FileStamp *stamp) const override {
        auto found = m_files.find(Upper(fullPath));
        if (found == m_files.end()) return false;
        *stamp = {};
        stamp->size = found->second.bytes.size();
        stamp->modified = found->second.write;
        return true;
    }

private:
    static std::string Upper(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return text;
    }
    struct File {
        std::string bytes;
        std::int64_t write;
    };
    std::map<std::string, File> m_files;
    std::int64_t m_writes = 0;
    mutable int m_reads = 0;
};

class TestEngine {
public:
    explicit TestEngine(sim::setupapi::StringsChoice strings = {}, win::UINT codePage = 1252,
                        const std::string &userProfile = std::string()) {
        auto files = std::make_unique<MemoryFiles>();
        m_files = files.get();
        auto settings = std::make_shared<const sim::setupapi::EngineSettings>(
            codePage, "C:\\windows", "C:\\windows\\system32", userProfile, strings);
        m_engine = std::make_unique<sim::setupapi::SetupApiEngine>(settings, std::move(files));
    }

    sim::setupapi::SetupApiEngine &Api() { return *m_engine; }
    MemoryFiles &Files() { return *m_files; }

    // Adds `text` as C:\work\<name> and opens it as a Windows 4 INF.
    win::HINF Open(const std::string &text, const std::string &name = "test.inf") {
        m_files->Add("C:\\work\\" + name, text);
        win::UINT errorLine = 0;
        return m_engine->OpenInfFile(("C:\\work\\" + name).c_str(), nullptr, win::INF_STYLE_WIN4, &errorLine);
    }

    // Field `index` of the line at `context`; "<none>" when it fails.
    std::string Field(win::INFCONTEXT context, win::DWORD index) {
        win::DWORD required = 0;
        if (!m_engine->GetStringField(&context, index, nullptr, 0, &required)) return "<none>";
        std::string text(required, '\0');
        if (!m_engine->GetStringField(&context, index, &text[0], required, nullptr)) return "<none>";
        text.resize(required - 1);
        return text;
    }

    // Every line of `section` (through the appended files) as its key
    // followed by its values.
    std::vector<std::vector<std::string>> Lines(win::HINF inf, const char *section) {
        std::vector<std::vector<std::string>> lines;
        win::INFCONTEXT context;
        for (bool found = m_engine->FindFirstLine(inf, section, nullptr, &context) != win::FALSE; found;
             found = m_engine->FindNextLine(&context, &context) != win::FALSE) {
            std::vector<std::string> line;
            const win::DWORD fields = m_engine->GetFieldCount(&context);
            for (win::DWORD i = 0; i <= fields; ++i) line.push_back(Field(context, i));
            lines.push_back(line);
        }
        return lines;
    }

private:
    MemoryFiles *m_files = nullptr;
    std::unique_ptr<sim::setupapi::SetupApiEngine> m_engine;
};

// The version section every test INF starts with.
inline const char *const kVersion = "[Version]\nSignature=\"$Windows NT$\"\n";

}  // namespace inf_test

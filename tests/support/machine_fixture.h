// Throw-away simulated machines for tests, and whole runs of `setup`
// against them.
//
//   testing_machine::MachineFolder machine;            // from the template
//   machine.SetIni("System", "Administrator", "0");
//   machine.SetRegistryValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\TALVO\\IMG\\PS\\LOG",
//                            "OutputLevel", win::REG_DWORD, std::string("\1\0\0\0", 4));
//   machine.StagePackage(testing_paths::SourceDir() + "/examples/package");
//   testing_machine::RunResult run = machine.RunSetup({"+W:0x1234"});
//   EXPECT_EQ(run.status, 0);
//   auto events = machine.Transcript();                // events[0]["event"] ...
//   auto value = machine.RegistryValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\...", "DevicePath");
//
// In-process tests call Use() to make the folder the machine of the test
// process itself (after configuring it: machine.ini is read when used).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/registry/registry_store.h"

namespace testing_machine {

struct RunResult {
    int status = -1;  // exit status, or 128 + signal when killed
    std::string out;
    std::string err;
};

// One transcript.jsonl line: field -> value (strings unquoted, numbers as
// written).
typedef std::map<std::string, std::string> TranscriptEvent;

// Parses one flat JSON object of string and number fields; false when the
// line is not one.
bool ParseJsonObject(const std::string &line, TranscriptEvent *event);

class MachineFolder {
public:
    // A new temporary folder holding machine/ (made from the built-in
    // template); removed with everything in it when the object goes.
    MachineFolder();
    ~MachineFolder();
    MachineFolder(const MachineFolder &) = delete;
    MachineFolder &operator=(const MachineFolder &) = delete;

    // The machine folder, and a host path inside it ("drive_c/WINDOWS").
    const std::string &Path() const { return m_machine; }
    std::string HostPath(const std::string &relative) const { return m_machine + "/" + relative; }
    // The bytes of a file in the machine folder ("registry.reg"); empty
    // when there is none.
    std::string FileText(const std::string &relative) const;

    // machine.ini: sets Key=Value in [Section], replacing the key if the
    // section has it (names without regard to case) and adding the section
    // when missing. ReplaceIni writes the whole file.
    void SetIni(const std::string &section, const std::string &key, const std::string &value);
    void ReplaceIni(const std::string &text);
    std::string IniText() const;

    // registry.reg, through the registry store. Key paths begin with
    // "HKEY_LOCAL_MACHINE\" or "HKEY_CURRENT_USER\" (or "HKLM\", "HKCU\").
    void SetRegistryValue(const std::string &keyPath, const std::string &name, unsigned type,
                          const std::string &bytes);
    // REG_SZ: the text and its terminating zero.
    void SetRegistryString(const std::string &keyPath, const std::string &name, const std::string &text);
    void CreateRegistryKey(const std::string &keyPath);
    std::optional<sim::RegValue> RegistryValue(const std::string &keyPath, const std::string &name) const;
    bool RegistryKeyExists(const std::string &keyPath) const;
    // The whole registry as registry.reg holds it now.
    sim::RegTree Registry() const;

    // Makes this the machine of the calling process (sim::Machine::UseFolder)
    // until the object goes; then the machine used before comes back.
    void Use();

    // Makes a package folder beside the machine: a copy of the `setup`
    // program plus, when given, the files of `sourceFolder`; maps it as
    // drive D: so the program sees itself as D:\setup. Returns the host
    // folder. RunSetup then starts this copy.
    std::string StagePackage(const std::string &sourceFolder = std::string());
    const std::string &PackagePath() const { return m_package; }

    // Runs `setup` (the staged copy, else the build's) with `arguments`,
    // MIRTEL_MACHINE set to this machine, `environment` added to this
    // process's environment, standard input not a terminal, in the
    // current directory (or `workingDirectory` when given).
    RunResult RunSetup(const std::vector<std::string> &arguments,
                       const std::vector<std::pair<std::string, std::string>> &environment = {},
                       const std::string &workingDirectory = std::string()) const;

    // transcript.jsonl, one event per line (empty when there is none).
    std::vector<TranscriptEvent> Transcript() const;

private:
    std::string m_root;
    std::string m_machine;
    std::string m_package;
    std::string m_usedBefore;  // the process's machine before Use()
};

// Runs `program` with `arguments` and the extra environment, standard
// input /dev/null, collecting its output.
RunResult RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                     const std::vector<std::pair<std::string, std::string>> &environment,
                     const std::string &workingDirectory = std::string());

}  // namespace testing_machine

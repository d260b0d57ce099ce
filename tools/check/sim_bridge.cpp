// The one file of the check that reaches into the simulated machine's own
// modules; everything else uses the program's platform calls.
#include "sim_bridge.h"

#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/transcript.h"
#include "platform/sim/text/codepage.h"

namespace check {

bool CreateMachine(const std::string &path, std::string *error) { return sim::CreateMachineFolder(path, error); }

void UseMachine(const std::string &path) { sim::Machine::UseFolder(path); }

std::string AnsiToUtf8(const std::string &ansi, win::UINT codePage) { return sim::AnsiToUtf8(ansi, codePage); }

std::string Utf8ToAnsi(const std::string &utf8, win::UINT codePage) { return sim::Utf8ToAnsi(utf8, codePage); }

bool DecodesWithoutLoss(const std::string &ansi, win::UINT codePage) {
    return sim::Utf8ToAnsi(sim::AnsiToUtf8(ansi, codePage), codePage) == ansi;
}

std::string JsonString(const std::string &utf8) { return sim::JsonString(utf8); }

bool ParseTranscriptLine(const std::string &line, std::map<std::string, std::string> *fields) {
    return sim::ParseTranscriptLine(line, fields);
}

}  // namespace check

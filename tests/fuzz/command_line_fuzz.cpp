// The command-line parser on arbitrary arguments, as the native program
// gets them from the host: the input's NUL-separated texts follow the
// program's name, and a refused switch shows its message box on a
// throw-away machine.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/mirtel_app.h"
#include "fuzz_machine.h"
#include "platform/sim/process/arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const std::string transcript = fuzzing::UseFuzzMachine() + "/transcript.jsonl";
    std::vector<std::string> texts{"setup"};
    const char *const begin = reinterpret_cast<const char *>(data);
    for (const char *at = begin, *end = begin + size; at <= end && texts.size() < 64;) {
        const char *nul = at;
        while (nul < end && *nul != '\0') ++nul;
        texts.emplace_back(at, nul);
        at = nul + 1;
    }
    std::vector<const char *> argv;
    for (const std::string &text : texts) argv.push_back(text.c_str());
    sim::SetHostArguments(static_cast<int>(argv.size()), argv.data());

    CMirtelApp app;
    app.m_pLangTable = CLangsDef::BuiltInTable();
    app.kParseCommandLine();
    unlink(transcript.c_str());
    return 0;
}

// The building blocks of the dump: error codes, the two-step string
// read, and the dumps of one line and of one section.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "dumpcommon/dump_arg.h"
#include "setup_api_calls.h"

namespace infdump {

using dumpcommon::Arg;
using dumpcommon::Printed;
using dumpcommon::Quoted;

std::string ErrorCode(win::DWORD error);  // "0x0000007a"

// A call that fills a buffer of `size` bytes and reports the size it needs.
using StringCall = std::function<win::BOOL(char *buffer, win::DWORD size, win::DWORD *required)>;

// The two-step read the installer uses for every string: the required
// size with no buffer, then a buffer of exactly that size.
struct SizeGet {
    bool sizeOk = false;
    win::DWORD sizeRequired = 0;
    win::DWORD sizeError = 0;
    bool getCalled = false;
    bool getOk = false;
    win::DWORD getRequired = 0;
    win::DWORD getError = 0;
    std::string text;
    bool unterminated = false;
    bool overrun = false;

    // "size=ok req=13 | get=ok req=13 "$Windows NT$"", as the dump prints it.
    std::string Describe() const;
    // Both calls succeeded with a required size above 0.
    bool Usable() const { return getCalled && getOk && sizeRequired != 0; }
};
SizeGet ReadSizeGet(const StringCall &call);

class InfDumper {
public:
    InfDumper(const SetupApiCalls &api, win::HINF inf) : m_api(api), m_inf(inf) {}

    // Field count, line text and fields 0 .. count+1 of the line at
    // `context`, each line beginning with `indent`.
    void DumpLine(const std::string &indent, win::INFCONTEXT context);
    // The line count of section `name`, and with `withLines` every line by
    // index and the number of lines the find calls visit.
    void DumpSection(const std::string &indent, const Arg &name, bool withLines);
    // " file=F" for a line of an appended file (numbered as first met),
    // else "".
    std::string FileTag(const win::INFCONTEXT &context);

    SizeGet ReadLineText(win::INFCONTEXT *context, const char *section, const char *key);
    SizeGet ReadField(win::INFCONTEXT *context, win::DWORD index);

private:
    const SetupApiCalls &m_api;
    win::HINF m_inf;
    std::map<const void *, int> m_appendedFiles;
};

}  // namespace infdump

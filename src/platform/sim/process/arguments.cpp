#include "platform/sim/process/arguments.h"

#include <string>
#include <vector>

#include "platform/entry.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/text/codepage.h"

namespace sim {
namespace {

// Copies, so that a caller's array may go away; the pointer array ends
// with a null entry as argv does.
struct ArgumentVector {
    std::vector<std::string> texts;
    std::vector<const char *> pointers{nullptr};
};

ArgumentVector &Stored() {
    static ArgumentVector arguments;
    return arguments;
}

// The length of the valid UTF-8 sequence at `text[at]` (shortest form,
// no surrogates, at most U+10FFFF), or 0 when there is none.
std::size_t Utf8SequenceLength(const std::string &text, std::size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
    else return 0;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[at + i]);
        if (i == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF)) return 0;
    }
    return length;
}

}  // namespace

std::string HostArgumentToAnsi(const std::string &argument, win::UINT codePage) {
    std::string ansi;
    std::size_t runStart = 0;
    for (std::size_t at = 0; at < argument.size();) {
        const std::size_t length = Utf8SequenceLength(argument, at);
        if (length != 0) {
            at += length;
            continue;
        }
        ansi += Utf8ToAnsi(argument.substr(runStart, at - runStart), codePage);
        ansi += argument[at];
        runStart = ++at;
    }
    return ansi + Utf8ToAnsi(argument.substr(runStart), codePage);
}

void SetHostArguments(int argc, const char *const *argv) {
    const win::UINT codePage = Machine::Get().AnsiCodePage();
    std::vector<std::string> converted;
    for (int i = 0; i < argc; ++i) converted.push_back(HostArgumentToAnsi(argv[i], codePage));
    std::vector<const char *> pointers;
    for (const std::string &text : converted) pointers.push_back(text.c_str());
    SetArguments(argc, pointers.data());
}

void SetArguments(int argc, const char *const *argv) {
    ArgumentVector &stored = Stored();
    stored.texts.assign(argv, argv + argc);
    stored.pointers.clear();
    for (const std::string &text : stored.texts) stored.pointers.push_back(text.c_str());
    stored.pointers.push_back(nullptr);
}

}  // namespace sim

namespace win {

int ArgumentCount() { return static_cast<int>(sim::Stored().texts.size()); }
const char *const *Arguments() { return sim::Stored().pointers.data(); }

}  // namespace win

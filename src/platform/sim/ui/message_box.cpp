// Message boxes of the simulated machine: drawn on standard error, recorded
// in the transcript, answered with Enter when a user sits at a terminal and
// at once otherwise.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/transcript.h"
#include "platform/sim/text/codepage.h"
#include "platform/ui.h"

namespace sim {
namespace {

constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDYES = 6;

struct Buttons {
    const char *labels;
    int defaultAnswer;  // the first button, which Enter presses
};

Buttons ButtonsOf(win::UINT type) {
    switch (type & win::MB_TYPEMASK) {
    case win::MB_OKCANCEL:
        return {"[ OK ]  [ Cancel ]", win::IDOK};
    case 2:  // MB_ABORTRETRYIGNORE
        return {"[ Abort ]  [ Retry ]  [ Ignore ]", IDABORT};
    case win::MB_YESNOCANCEL:
        return {"[ Yes ]  [ No ]  [ Cancel ]", IDYES};
    case win::MB_YESNO:
        return {"[ Yes ]  [ No ]", IDYES};
    case 5:  // MB_RETRYCANCEL
        return {"[ Retry ]  [ Cancel ]", IDRETRY};
    default:
        return {"[ OK ]", win::IDOK};
    }
}

const char *IconOf(win::UINT type) {
    switch (type & win::MB_ICONMASK) {
    case 0x10:
        return "(x) ";
    case 0x20:
        return "(?) ";
    case win::MB_ICONEXCLAMATION:
        return "/!\\ ";
    case win::MB_ICONINFORMATION:
        return "(i) ";
    default:
        return "";
    }
}

// The box: caption bar, the text's lines beside the icon, the buttons.
std::string Drawing(const std::string &caption, const std::string &text, win::UINT type) {
    const std::string icon = IconOf(type);
    const std::string indent(icon.size(), ' ');
    std::string drawing = "\n+-- " + caption + " --\n| " + icon;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        drawing += text[i];
        if (text[i] == '\n') drawing += "| " + indent;
    }
    return drawing + "\n+-- " + ButtonsOf(type).labels + "\n";
}

}  // namespace
}  // namespace sim

namespace win {

int MessageBoxA(HWND owner, const char *text, const char *caption, UINT type) {
    const UINT codePage = sim::Machine::Get().AnsiCodePage();
    // Windows titles a box without caption "Error".
    const std::string captionUtf8 = sim::AnsiToUtf8(caption ? caption : "Error", codePage);
    const std::string textUtf8 = sim::AnsiToUtf8(text ? text : "", codePage);
    sim::AppendTranscript("{\"event\":\"messagebox\",\"owner\":" +
                          sim::JsonHex(reinterpret_cast<std::uintptr_t>(owner)) +
                          ",\"caption\":" + sim::JsonString(captionUtf8) +
                          ",\"text\":" + sim::JsonString(textUtf8) + ",\"style\":" + sim::JsonHex(type) + "}");
    const std::string drawing = sim::Drawing(captionUtf8, textUtf8, type);
    std::fputs(drawing.c_str(), stderr);
    if (isatty(STDIN_FILENO)) {
        std::fputs("(press Enter) ", stderr);
        std::string line;
        std::getline(std::cin, line);
    }
    return sim::ButtonsOf(type).defaultAnswer;
}

}  // namespace win

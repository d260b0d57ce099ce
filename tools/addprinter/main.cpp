// The Add Printer Wizard of the simulated machine. It shows what the real
// wizard would work with — the DevicePath value and the INF files on it —
// and records in the transcript every device-path value the installer
// redirects, as the wizard sees them while it is open: when it opens
// ("wizard"), and after staying open a while also when it closes
// ("wizard-closing"), as a user who took a while would find them.
//
// Shaped by the environment:
//   MIRTEL_WIZARD_WINDOW_TITLE  a top-level window with this title exists
//                               on the machine while the wizard is open
//   MIRTEL_WIZARD_SLEEP_MS      how long the wizard stays open (default 0)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "device_paths.h"
#include "platform/process.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/transcript.h"
#include "platform/sim/text/codepage.h"
#include "platform/ui.h"

namespace {

constexpr const char *kWindowClass = "MirtelAddPrinterWizard";

std::string Utf8(const std::string &ansi) { return sim::AnsiToUtf8(ansi, sim::Machine::Get().AnsiCodePage()); }

// A registry string as text: up to its first zero byte.
std::string Text(const std::string &bytes) { return bytes.substr(0, bytes.find('\0')); }

win::LRESULT MIRTEL_STDCALL WizardWindowProc(win::HWND window, win::UINT message, win::WPARAM wParam,
                                             win::LPARAM lParam) {
    return win::DefWindowProcA(window, message, wParam, lParam);
}

win::HWND OpenWizardWindow(const char *title) {
    win::WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WizardWindowProc;
    windowClass.lpszClassName = kWindowClass;
    win::RegisterClassA(&windowClass);
    return win::CreateWindowExA(0, kWindowClass, title, win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE,
                                win::CW_USEDEFAULT, 0, win::CW_USEDEFAULT, 0, nullptr, nullptr, nullptr,
                                nullptr);
}

// One flat object, as every transcript event is: the DevicePath text, the
// INF files joined by ";", and "<label>.type" / "<label>.bytes" for each
// value read.
std::string Event(const char *kind, const std::string &arguments, const std::vector<addprinter::DevicePathValue> &values,
                  const std::string *devicePath, const std::vector<std::string> &infFiles, win::HWND window) {
    std::string event = "{\"event\":\"" + std::string(kind) + "\",\"arguments\":" + sim::JsonString(Utf8(arguments));
    event += ",\"window\":" + sim::JsonHex(reinterpret_cast<std::uintptr_t>(window));
    if (devicePath) event += ",\"devicepath\":" + sim::JsonString(Utf8(*devicePath));
    std::string infs;
    for (const std::string &inf : infFiles) infs += (infs.empty() ? "" : ";") + inf;
    event += ",\"infs\":" + sim::JsonString(Utf8(infs));
    for (const addprinter::DevicePathValue &value : values) {
        const std::string label = Utf8(value.label);
        event += "," + sim::JsonString(label + ".type") + ":" + sim::JsonHex(value.type);
        event += "," + sim::JsonString(label + ".bytes") + ":\"" + sim::HexBytes(value.bytes) + "\"";
    }
    return event + "}";
}

// What the wizard sees of the device-path values now.
struct View {
    std::vector<addprinter::DevicePathValue> values = addprinter::ReadDevicePathValues();
    const std::string *devicePath = nullptr;
    std::string devicePathText;
    std::vector<std::string> infFiles;

    View() {
        for (const addprinter::DevicePathValue &value : values) {
            if (value.label == "DevicePath") devicePath = &value.bytes;
        }
        devicePathText = devicePath ? Text(*devicePath) : std::string();
        if (devicePath) infFiles = addprinter::InfFilesOnDevicePath(devicePathText);
    }
    View(const View &) = delete;

    std::string Record(const char *kind, const std::string &arguments, win::HWND window) const {
        return Event(kind, arguments, values, devicePath ? &devicePathText : nullptr, infFiles, window);
    }
};

}  // namespace

int main(int argc, char **argv) {
    std::string arguments;
    for (int i = 1; i < argc; ++i) arguments += (i > 1 ? " " : "") + std::string(argv[i]);

    const View opening;
    std::printf("Add Printer Wizard (simulated)\n");
    std::printf("DevicePath = %s\n", opening.devicePath ? Utf8(opening.devicePathText).c_str() : "(none)");
    for (const std::string &inf : opening.infFiles) std::printf("  %s\n", Utf8(inf).c_str());
    std::fflush(stdout);

    const char *title = std::getenv("MIRTEL_WIZARD_WINDOW_TITLE");
    win::HWND window = title && *title ? OpenWizardWindow(title) : nullptr;
    sim::AppendTranscript(opening.Record("wizard", arguments, window));

    const char *sleep = std::getenv("MIRTEL_WIZARD_SLEEP_MS");
    const win::DWORD openFor = sleep && *sleep ? static_cast<win::DWORD>(std::strtoul(sleep, nullptr, 10)) : 0;
    if (openFor > 0) {
        win::Sleep(openFor);
        sim::AppendTranscript(View().Record("wizard-closing", arguments, window));
    }
    if (window) win::DestroyWindow(window);
    return 0;
}

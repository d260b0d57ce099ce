// The INF engine on arbitrary files: opening (both styles, with and without
// a class), appending (a named file and the [Version] LayoutFile), and every
// section, line and field call on what was read, with buffers of exactly
// the size asked for so that AddressSanitizer sees any write past them.
//
// Every line must also read the same through the parser's fast path for
// plain lines as through its state machine.
//
// Input: one byte of options, then the INF file; a line "@@append@@" splits
// off a second file, which is appended and also stands as layout.inf in the
// Windows folder's inf folder.
//   options bit 0: ANSI code page 932 instead of 1252
//   options bits 1-2: style 0 = Windows 4, 1 = old NT, 2 = both, 3 = none
//   options bit 3: ask for class "Printer"
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "unit/inf_test_engine.h"
#include "unit/plain_lines_check.h"

namespace {

constexpr std::size_t kMaxSections = 64;
constexpr std::size_t kMaxLines = 256;
constexpr win::LONG kKeyedLines = 16;
constexpr char kAppendMark[] = "\n@@append@@\n";
constexpr char kMainPath[] = "C:\\work\\fuzz.inf";
constexpr char kAppendPath[] = "C:\\work\\append.inf";

using sim::setupapi::SetupApiEngine;

// Asks for the size, then reads into a buffer of exactly that size and of
// one byte less. A string read must end within what it reports.
template <class Call>
void ReadString(const Call &call, bool isText = true) {
    win::DWORD required = 0;
    if (!call(nullptr, 0, &required) || required == 0 || required > (1u << 20)) return;
    for (win::DWORD size : {required, required - 1}) {
        if (size == 0) continue;
        std::unique_ptr<char[]> buffer(new char[size]);
        win::DWORD again = 0;
        if (call(buffer.get(), size, &again) && isText && (again == 0 || again > size || buffer[again - 1] != '\0'))
            __builtin_trap();
    }
}

std::string StringOf(const std::unique_ptr<char[]> &buffer) { return std::string(buffer.get()); }

void ReadLine(SetupApiEngine &api, win::INFCONTEXT context) {
    const win::DWORD fields = api.GetFieldCount(&context);
    ReadString([&](char *b, win::DWORD s, win::DWORD *r) {
        return api.GetLineText(&context, nullptr, nullptr, nullptr, b, s, r);
    });
    for (win::DWORD index = 0; index <= fields + 1 && index < 1024; ++index)
        ReadString([&](char *b, win::DWORD s, win::DWORD *r) { return api.GetStringField(&context, index, b, s, r); });
}

std::string KeyOf(SetupApiEngine &api, win::INFCONTEXT context) {
    win::DWORD required = 0;
    if (!api.GetStringField(&context, 0, nullptr, 0, &required) || required == 0 || required > (1u << 20))
        return std::string();
    std::unique_ptr<char[]> buffer(new char[required]);
    if (!api.GetStringField(&context, 0, buffer.get(), required, nullptr)) return std::string();
    return StringOf(buffer);
}

void ReadSection(SetupApiEngine &api, win::HINF inf, const std::string &section) {
    const char *name = section.c_str();
    const win::LONG count = api.GetLineCount(inf, name);
    for (win::LONG index = 0; index <= count && static_cast<std::size_t>(index) < kMaxLines; ++index) {
        win::INFCONTEXT context{};
        if (!api.GetLineByIndex(inf, name, static_cast<win::DWORD>(index), &context)) continue;
        ReadLine(api, context);
        // Lookups by key cost a walk of the section each: the first few do.
        if (index >= kKeyedLines) continue;
        const std::string key = KeyOf(api, context);
        win::INFCONTEXT match{};
        if (api.FindFirstLine(inf, name, key.c_str(), &match)) {
            for (std::size_t step = 0; step < kMaxLines && api.FindNextMatchLine(&match, key.c_str(), &match); ++step) {
            }
        }
        ReadString([&](char *b, win::DWORD s, win::DWORD *r) {
            return api.GetLineText(nullptr, inf, name, key.c_str(), b, s, r);
        });
    }
    win::INFCONTEXT context{};
    std::size_t visited = 0;
    for (bool found = api.FindFirstLine(inf, name, nullptr, &context) != win::FALSE; found && visited < kMaxLines;
         found = api.FindNextLine(&context, &context) != win::FALSE)
        ++visited;
}

void ReadAll(SetupApiEngine &api, win::HINF inf) {
    ReadString([&](char *b, win::DWORD s, win::DWORD *r) {
        return api.GetInfInformation(inf, win::INFINFO_INF_SPEC_IS_HINF, reinterpret_cast<win::SP_INF_INFORMATION *>(b),
                                     s, r);
    }, false);
    std::vector<std::string> sections;
    for (win::UINT index = 0; index < kMaxSections; ++index) {
        win::DWORD required = 0;
        if (!api.EnumInfSections(inf, index, nullptr, 0, &required) || required == 0 || required > (1u << 20)) break;
        std::unique_ptr<char[]> buffer(new char[required]);
        if (!api.EnumInfSections(inf, index, buffer.get(), required, nullptr)) break;
        sections.push_back(StringOf(buffer));
    }
    sections.push_back("Version");
    sections.push_back("Strings");
    for (const std::string &section : sections) ReadSection(api, inf, section);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    std::string appended;
    const std::size_t mark = text.find(kAppendMark);
    const bool hasAppended = mark != std::string::npos;
    if (hasAppended) {
        appended = text.substr(mark + sizeof(kAppendMark) - 1);
        text.resize(mark);
    }

    if (!inf_test::PlainLinesReadAsTheStateMachineReads(text, (options & 1) != 0 ? 932 : 1252)) __builtin_trap();
    inf_test::TestEngine engine({}, (options & 1) != 0 ? 932 : 1252);
    engine.Files().Add(kMainPath, text);
    if (hasAppended) {
        engine.Files().Add(kAppendPath, appended);
        engine.Files().Add("C:\\windows\\inf\\layout.inf", appended);
    }
    static const win::DWORD kStyles[] = {win::INF_STYLE_WIN4, win::INF_STYLE_OLDNT,
                                         win::INF_STYLE_WIN4 | win::INF_STYLE_OLDNT, win::INF_STYLE_NONE};
    SetupApiEngine &api = engine.Api();
    win::UINT errorLine = 0;
    win::HINF inf = api.OpenInfFile(kMainPath, (options & 8) != 0 ? "Printer" : nullptr, kStyles[(options >> 1) & 3],
                                    &errorLine);
    if (inf == win::INVALID_HANDLE_VALUE) return 0;
    if (hasAppended) api.OpenAppendInfFile(kAppendPath, inf, &errorLine);
    api.OpenAppendInfFile(nullptr, inf, &errorLine);
    ReadAll(api, inf);
    api.CloseInfFile(inf);
    return 0;
}

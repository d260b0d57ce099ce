#include "inf_dumper.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace infdump {
namespace {

constexpr std::size_t kGuardBytes = 8;
constexpr unsigned char kFill = 0xCC;

}  // namespace

std::string ErrorCode(win::DWORD error) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(error));
    return text;
}

SizeGet ReadSizeGet(const StringCall &call) {
    SizeGet read;
    win::SetLastError(0);
    read.sizeOk = call(nullptr, 0, &read.sizeRequired) != win::FALSE;
    read.sizeError = win::GetLastError();
    if (!read.sizeOk || read.sizeRequired == 0) return read;
    std::vector<unsigned char> buffer(read.sizeRequired + kGuardBytes, kFill);
    read.getCalled = true;
    win::SetLastError(0);
    read.getOk = call(reinterpret_cast<char *>(buffer.data()), read.sizeRequired, &read.getRequired) != win::FALSE;
    read.getError = win::GetLastError();
    const void *nul = std::memchr(buffer.data(), 0, read.sizeRequired);
    read.unterminated = nul == nullptr;
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const unsigned char *>(nul) - buffer.data())
                       : read.sizeRequired;
    read.text.assign(reinterpret_cast<const char *>(buffer.data()), length);
    for (std::size_t i = read.sizeRequired; i < buffer.size(); ++i) read.overrun = read.overrun || buffer[i] != kFill;
    return read;
}

std::string SizeGet::Describe() const {
    std::string out = std::string("size=") + (sizeOk ? "ok" : "fail") + " req=" + std::to_string(sizeRequired);
    if (!sizeOk) out += " err=" + ErrorCode(sizeError);
    if (!getCalled) return out;
    out += std::string(" | get=") + (getOk ? "ok" : "fail") + " req=" + std::to_string(getRequired);
    if (getOk) {
        out += " " + Quoted(text);
        if (unterminated) out += " unterminated";
    } else {
        out += " err=" + ErrorCode(getError);
    }
    if (overrun) out += " overrun";
    return out;
}

SizeGet InfDumper::ReadLineText(win::INFCONTEXT *context, const char *section, const char *key) {
    return ReadSizeGet([&](char *buffer, win::DWORD size, win::DWORD *required) {
        *required = 0;
        return m_api.GetLineText(context, context != nullptr ? nullptr : m_inf, section, key, buffer, size, required);
    });
}

SizeGet InfDumper::ReadField(win::INFCONTEXT *context, win::DWORD index) {
    return ReadSizeGet([&](char *buffer, win::DWORD size, win::DWORD *required) {
        *required = 0;
        return m_api.GetStringField(context, index, buffer, size, required);
    });
}

std::string InfDumper::FileTag(const win::INFCONTEXT &context) {
    if (context.CurrentInf == context.Inf) return std::string();
    auto found = m_appendedFiles.find(context.CurrentInf);
    if (found == m_appendedFiles.end())
        found = m_appendedFiles.emplace(context.CurrentInf, static_cast<int>(m_appendedFiles.size()) + 1).first;
    return " file=" + std::to_string(found->second);
}

void InfDumper::DumpLine(const std::string &indent, win::INFCONTEXT context) {
    win::SetLastError(0);
    const win::DWORD fields = m_api.GetFieldCount(&context);
    std::printf("%sfields=%lu\n", indent.c_str(), static_cast<unsigned long>(fields));
    std::printf("%stext: %s\n", indent.c_str(), ReadLineText(&context, nullptr, nullptr).Describe().c_str());
    for (win::DWORD i = 0; i <= fields + 1; ++i)
        std::printf("%sf%lu: %s\n", indent.c_str(), static_cast<unsigned long>(i),
                    ReadField(&context, i).Describe().c_str());
}

void InfDumper::DumpSection(const std::string &indent, const Arg &name, bool withLines) {
    win::SetLastError(0);
    const win::LONG count = m_api.GetLineCount(m_inf, name.Get());
    const win::DWORD countError = win::GetLastError();
    std::printf("%ssection %s: count=%ld", indent.c_str(), Printed(name).c_str(), static_cast<long>(count));
    if (count < 0) std::printf(" err=%s", ErrorCode(countError).c_str());
    std::printf("\n");
    if (!withLines || count < 0) return;
    for (win::LONG i = 0; i < count; ++i) {
        win::INFCONTEXT context = {};
        win::SetLastError(0);
        if (!m_api.GetLineByIndex(m_inf, name.Get(), static_cast<win::DWORD>(i), &context)) {
            std::printf("%s  line %ld: byindex=fail err=%s\n", indent.c_str(), static_cast<long>(i),
                        ErrorCode(win::GetLastError()).c_str());
            continue;
        }
        std::printf("%s  line %ld%s:\n", indent.c_str(), static_cast<long>(i), FileTag(context).c_str());
        DumpLine(indent + "    ", context);
    }
    int visited = 0;
    win::INFCONTEXT context = {};
    win::SetLastError(0);
    for (bool found = m_api.FindFirstLine(m_inf, name.Get(), nullptr, &context) != win::FALSE; found;
         found = m_api.FindNextLine(&context, &context) != win::FALSE)
        ++visited;
    std::printf("%s  iterate: n=%d\n", indent.c_str(), visited);
}

}  // namespace infdump

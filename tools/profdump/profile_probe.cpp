#include "profile_probe.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "platform/profile.h"

namespace profdump {
namespace {

constexpr unsigned char kFill = 0xCC;
constexpr std::size_t kGuardBytes = 16;
constexpr const char *kMissing = "NOKEY";

unsigned long CallInto(std::vector<char> &buffer, const std::string &file, const Arg &section, const Arg &key,
                       const char *defaultValue, unsigned long size) {
    return win::GetPrivateProfileStringA(section.Get(), key.Get(), defaultValue, buffer.data(),
                                         static_cast<win::DWORD>(size), file.c_str());
}

}  // namespace

GetResult PrintGet(const std::string &indent, const std::string &file, const Arg &section, const Arg &key,
                   const Arg &defaultValue, unsigned long size) {
    std::vector<char> buffer(size + kGuardBytes, static_cast<char>(kFill));
    const unsigned long ret = CallInto(buffer, file, section, key, defaultValue.Get(), size);
    const std::size_t shown = static_cast<std::size_t>(std::min<unsigned long>(size, ret + 2));
    bool overrun = false;
    for (std::size_t i = size; i < buffer.size(); ++i) overrun |= static_cast<unsigned char>(buffer[i]) != kFill;
    std::printf("%sget sec=%s key=%s def=%s size=%lu -> ret=%lu buf=%s%s\n", indent.c_str(), Printed(section).c_str(),
                Printed(key).c_str(), Printed(defaultValue).c_str(), size, ret,
                Quoted(std::string(buffer.data(), shown)).c_str(), overrun ? " overrun" : "");
    return {ret, std::string(buffer.data(), size)};
}

void PrintRead(const std::string &indent, const std::string &file, const Arg &section, const Arg &key) {
    int found = 1;
    int reads = 0;
    unsigned long size = 16;
    std::vector<char> buffer(size);
    unsigned long n = CallInto(buffer, file, section, key, kMissing, size);
    ++reads;
    std::string value = buffer.data();
    bool result = false;
    while (!value.empty()) {
        if (strcasecmp(value.c_str(), kMissing) == 0) {
            value.clear();
            found = 0;
            break;
        }
        if (n + 2 < size) {
            result = true;
            break;
        }
        size += 16;
        buffer.assign(size, '\0');
        n = CallInto(buffer, file, section, key, kMissing, size);
        ++reads;
        value = buffer.data();
    }
    std::printf("%sread sec=%s key=%s -> %s found=%d reads=%d value=%s\n", indent.c_str(), Printed(section).c_str(),
                Printed(key).c_str(), result ? "TRUE" : "FALSE", found, reads, Quoted(value).c_str());
}

void PrintReadNames(const std::string &indent, const std::string &file, const Arg &section) {
    unsigned long size = 16;
    int reads = 0;
    std::vector<char> buffer;
    for (;;) {
        buffer.assign(size, '\0');
        const unsigned long r = CallInto(buffer, file, section, Arg::Null(), "", size);
        ++reads;
        if (r + 2 < size) break;
        size += 16;
    }
    std::vector<std::string> names;
    std::string name;
    for (std::size_t i = 0; i < size; ++i) {
        if (buffer[i] != '\0') {
            name += buffer[i];
            continue;
        }
        names.push_back(name);
        name.clear();
        if (i + 1 >= size || buffer[i + 1] == '\0') break;
    }
    std::printf("%sreadnames sec=%s -> n=%zu reads=%d", indent.c_str(), Printed(section).c_str(), names.size(), reads);
    for (const std::string &each : names) std::printf(" %s", Quoted(each).c_str());
    std::printf("\n");
}

std::vector<std::string> ListNames(const GetResult &result) {
    std::vector<std::string> names;
    if (result.ret == 0) return names;
    const std::size_t end = std::min<std::size_t>(result.ret + 1, result.buffer.size());
    std::string name;
    for (std::size_t i = 0; i < end; ++i) {
        if (result.buffer[i] != '\0') {
            name += result.buffer[i];
            continue;
        }
        names.push_back(name);
        name.clear();
        if (i + 1 >= end || result.buffer[i + 1] == '\0') break;
    }
    return names;
}

}  // namespace profdump

// The profile reader on arbitrary files: GetPrivateProfileStringA on the
// machine (code page 1252) for the section list, each section's key list
// and each key's value, with buffers of the exact size and smaller ones;
// and the parsed file in code page 932, walked section by section.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_machine.h"
#include "platform/profile.h"
#include "platform/sim/profile/profile_file.h"
#include "platform/sim/text/codepage.h"

namespace {

constexpr std::size_t kMaxNames = 64;
constexpr char kWindowsPath[] = "C:\\fuzz.ini";

// The names of a NUL-separated list.
std::vector<std::string> Names(const std::string &list) {
    std::vector<std::string> names;
    for (std::size_t at = 0; at < list.size() && names.size() < kMaxNames;) {
        const std::size_t end = list.find('\0', at);
        if (end == std::string::npos || end == at) break;
        names.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

// Reads with a buffer of `size` bytes, exactly as large as asked so that
// AddressSanitizer sees any write past it; the answer must fit.
std::string Read(const char *section, const char *key, win::DWORD size) {
    std::unique_ptr<char[]> buffer(new char[size]);
    const win::DWORD length = win::GetPrivateProfileStringA(section, key, "default ", buffer.get(), size, kWindowsPath);
    if (length >= size) __builtin_trap();
    return std::string(buffer.get(), length + 1);
}

void ReadEverything(win::DWORD smallSize) {
    const std::vector<std::string> sections = Names(Read(nullptr, nullptr, 1 << 16));
    Read(nullptr, nullptr, smallSize);
    for (const std::string &section : sections) {
        const std::vector<std::string> keys = Names(Read(section.c_str(), nullptr, 1 << 16));
        Read(section.c_str(), nullptr, smallSize);
        for (const std::string &key : keys) {
            Read(section.c_str(), key.c_str(), 1 << 16);
            Read(section.c_str(), key.c_str(), smallSize);
        }
    }
}

void WalkParsed(const std::string &bytes, win::UINT codePage) {
    const sim::ProfileFile profile(bytes, codePage);
    for (const sim::ProfileFile::Section &section : profile.Sections()) {
        const std::string wanted = sim::AnsiUpper(std::string(profile.Name(section)), codePage);
        profile.FindSection(wanted);
        sim::ProfileFile::Entries entries = profile.EntriesOf(section);
        for (sim::ProfileEntry entry; entries.Next(&entry);)
            profile.NameIs(entry.name, sim::AnsiUpper(std::string(entry.name), codePage));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const std::string host = fuzzing::UseFuzzMachine() + "/drive_c/fuzz.ini";
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    {
        std::ofstream file(host, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ReadEverything(1 + (size != 0 ? data[size - 1] % 16 : 0));
    WalkParsed(bytes, 932);
    return 0;
}

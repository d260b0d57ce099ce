// profile/: GetPrivateProfileStringA of the simulated machine: a profile
// file read as text of the ANSI code page, split into sections and lines
// as Windows splits them, and parsed files kept while they stay the same.
// It rests on host files reached through files/'s Windows paths.
//
// GetPrivateProfileStringA on the simulated machine, with Windows' answers
// for the awkward corners: quotes, small buffers, name lists, defaults.
#include "platform/profile.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/sim/files/paths.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/profile/profile_cache.h"
#include "platform/sim/profile/profile_file.h"
#include "platform/sim/profile/profile_line.h"
#include "platform/sim/text/codepage.h"

namespace win {
namespace {

// A file name without a folder names a file in the Windows folder.
std::string ProfileWindowsPath(const char *fileName) {
    const std::string name = fileName != nullptr ? fileName : "win.ini";
    const bool bare = name.find_first_of("\\/") == std::string::npos && !(name.size() >= 2 && name[1] == ':');
    if (!bare || name.empty()) return name;
    const std::string system =
        sim::Machine::Get().String("System", "SystemDirectory", "C:\\WINDOWS\\system32");
    return system.substr(0, system.find_last_of('\\')) + "\\" + name;
}

std::string Trimmed(const char *text) {
    const char *begin = text;
    const char *end = text + std::strlen(text);
    while (begin < end && sim::IsProfileBlank(*begin)) ++begin;
    while (end > begin && sim::IsProfileBlank(end[-1])) --end;
    return std::string(begin, end);
}

// Trailing blanks of the default go, though never its first character.
std::string DefaultText(const char *defaultValue) {
    if (defaultValue == nullptr) return std::string();
    std::string text = defaultValue;
    while (text.size() > 1 && text.back() == ' ') text.pop_back();
    return text;
}

// Copies a value or default into the buffer. A value wholly enclosed in
// one kind of quote loses the quotes, but the closing one only when the
// whole raw value fits: a buffer one byte short gives the value less its
// last character.
DWORD CopyValue(std::string_view value, char *buffer, DWORD size) {
    std::size_t start = 0;
    const bool quoted = value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
    if (quoted) start = 1;
    const std::size_t available = value.size() - start;
    std::size_t length = std::min<std::size_t>(size - 1, available);
    std::memcpy(buffer, value.data() + start, length);
    if (quoted && size >= available && length > 0) --length;
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

// Writes a list of names, each followed by a NUL, and one more NUL. When
// the buffer cannot take it all, the list is cut after size - 2 bytes and
// ends in two NULs, and the result is size - 2.
DWORD CopyList(const std::string &list, char *buffer, DWORD size) {
    if (list.empty() || size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    if (size >= list.size() + 2) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<DWORD>(list.size());
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

// The names of a section's keys that have a value, comments left out.
std::string KeyNames(const sim::ProfileFile &profile, const sim::ProfileFile::Section &section) {
    std::string names;
    sim::ProfileFile::Entries entries = profile.EntriesOf(section);
    for (sim::ProfileEntry entry; entries.Next(&entry);)
        if (entry.hasValue && (entry.name.empty() || entry.name[0] != ';')) names.append(entry.name).push_back('\0');
    return names;
}

}  // namespace

DWORD GetPrivateProfileStringA(const char *section, const char *key, const char *defaultValue, char *buffer,
                               DWORD size, const char *fileName) {
    if (buffer == nullptr || size == 0) return 0;
    const std::string defaultText = DefaultText(defaultValue);
    const UINT codePage = sim::Machine::Get().AnsiCodePage();
    const std::string host = sim::HostPath(ProfileWindowsPath(fileName).c_str());
    if (section == nullptr) {
        const std::shared_ptr<const sim::ProfileFile> profile = sim::LoadProfile(host, codePage);
        std::string names;
        for (const sim::ProfileFile::Section &candidate : profile->Sections())
            if (candidate.nameLength != 0) names.append(profile->Name(candidate)).push_back('\0');
        return CopyList(names, buffer, size);
    }
    const std::string sectionUpper = sim::AnsiUpper(Trimmed(section), codePage);
    const std::shared_ptr<const sim::ProfileFile> profile = sim::LoadProfileSection(host, codePage, sectionUpper);
    const sim::ProfileFile::Section *found = profile->FindSection(sectionUpper);
    if (key == nullptr) {
        const std::string names = found != nullptr ? KeyNames(*profile, *found) : std::string();
        // No keys, or a nameless first key, and the caller sees the default.
        if (names.empty() || names[0] == '\0') return CopyValue(defaultText, buffer, size);
        return CopyList(names, buffer, size);
    }
    if (found != nullptr) {
        const std::string wanted = sim::AnsiUpper(Trimmed(key), codePage);
        sim::ProfileFile::Entries entries = profile->EntriesOf(*found);
        for (sim::ProfileEntry entry; entries.Next(&entry);)
            if (profile->NameIs(entry.name, wanted))
                return CopyValue(entry.hasValue ? entry.value : std::string_view(defaultText), buffer, size);
    }
    return CopyValue(defaultText, buffer, size);
}

}  // namespace win

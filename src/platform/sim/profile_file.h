// INI files as GetPrivateProfileStringA reads them, parsed once and kept
// while the file stays the same.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace sim {

// Names and values are ANSI text. A name read from a Unicode file that
// the code page cannot hold (it shows "?" for some characters) can be
// listed but not looked up: Windows compares names as Unicode, and no ANSI
// argument becomes such a name.
struct ProfileName {
    std::string text;   // trimmed, cut at a NUL
    std::string upper;  // upper-cased, for lookups; empty when not `matchable`
    bool matchable = true;

    bool Matches(const std::string &wantedUpper) const { return matchable && upper == wantedUpper; }
};

struct ProfileKey {
    ProfileName name;
    bool hasValue = false;  // the line had "="
    std::string value;      // trimmed, cut at a NUL
};

struct ProfileSection {
    ProfileName name;
    std::vector<ProfileKey> keys;
};

struct ProfileFile {
    // Lines before the first section header: no lookup reaches them.
    std::vector<ProfileKey> beforeFirstSection;
    std::vector<ProfileSection> sections;  // in file order, repeats included
};

// Blanks as the profile reader trims them: white space and Ctrl+Z.
bool IsProfileBlank(char c);

// Parses INI text (one pass): lines end at CR or LF; "[name]" up to the
// last "]" opens a section; "key=value" or a bare line. `unicode` text is
// UTF-8 (from a file with a byte-order mark) and its names and values are
// converted to `codePage`; other text is in `codePage` already.
ProfileFile ParseProfile(const std::string &text, bool unicode, win::UINT codePage);

// The file at `hostPath` in the ANSI code page `codePage` (UTF-16 and UTF-8
// files with a byte-order mark converted), parsed; a file that cannot be
// read has no sections. Parsed files are cached by host path and reparsed
// when the file's size, modification time or inode changes.
std::shared_ptr<const ProfileFile> LoadProfile(const std::string &hostPath, win::UINT codePage);

}  // namespace sim

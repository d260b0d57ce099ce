// The entries of a host folder as an NTFS folder lists them.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct FolderEntry {
    std::string name;        // the host name, UTF-8
    std::u16string upcased;  // the name as NTFS compares it
    std::string shortName;   // its 8.3 alias; empty when the name is an 8.3 name itself
};

// The entries of `hostFolder` in NTFS order: "." and ".." first unless the
// folder is a drive's root, then the names ordered as upper-cased UTF-16
// strings. False, with errno set, when the folder cannot be read.
bool ListFolder(const std::string &hostFolder, bool isDriveRoot, std::vector<FolderEntry> *entries);

}  // namespace sim

#include "platform/sim/files/folder_listing.h"

#include <dirent.h>

#include <algorithm>
#include <memory>

#include "platform/sim/files/short_names.h"
#include "platform/sim/text/unicode.h"

namespace sim {

bool ListFolder(const std::string &hostFolder, bool isDriveRoot, std::vector<FolderEntry> *entries) {
    std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(hostFolder.c_str()), closedir);
    if (!dir) return false;
    std::vector<FolderEntry> named;
    while (const dirent *entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        named.push_back({name, UpcasedUtf16(name), std::string()});
    }
    std::sort(named.begin(), named.end(), [](const FolderEntry &a, const FolderEntry &b) {
        return a.upcased != b.upcased ? a.upcased < b.upcased : a.name < b.name;
    });
    std::vector<std::string> names;
    names.reserve(named.size());
    for (const FolderEntry &entry : named) names.push_back(entry.name);
    const std::vector<std::string> shortNames = ShortNames(names);
    for (std::size_t i = 0; i < named.size(); ++i) named[i].shortName = shortNames[i];

    entries->clear();
    if (!isDriveRoot) {
        entries->push_back({".", u".", std::string()});
        entries->push_back({"..", u"..", std::string()});
    }
    entries->insert(entries->end(), named.begin(), named.end());
    return true;
}

}  // namespace sim

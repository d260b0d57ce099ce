#include "inf/oem_inf_store.h"

#include <algorithm>
#include <utility>

#include "app/mirtel_app.h"
#include "inf/inf_paths.h"
#include "lang/path_utils.h"

namespace {

// Every one of `theirs` is among `ours`, letter case ignored. An INF
// without models covers nothing.
bool CoversAll(const CModelNameIndex &ours, const CModelNames &theirs) {
    return theirs.Count() > 0 && theirs.All([&ours](std::string_view their) { return ours.Holds(their); });
}

// Only files the system itself put into the store are ever replaced or
// deleted: OEM<n>.inf directly in the store, never a folder and never
// anything in a subfolder.
bool IsStoreOemInf(const CString &store, const CString &path) {
    CString folder, name;
    SplitPath(path.c_str(), kSplitDriveFolderSlash, folder);
    SplitPath(path.c_str(), kSplitNameExt, name);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return SameTextNoCase(folder, store) && IsNumberedOemInfName(name) &&
           attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

COemInfStore::COemInfStore(CMirtelApp &app, const CString &folder, const std::vector<CModelNames> &ourModels)
    : m_app(app), m_folder(folder), m_files(List()) {
    for (const CModelNames &models : ourModels)
        models.ForEach([this](std::string_view model) { m_ourModelHashes.push_back(ModelNameHash(model)); });
}

CStringList COemInfStore::List() const {
    CStringList found;
    FindFilesRecursive(m_folder, "OEM*.inf", found);
    CStringList files;
    for (const CString &path : found)
        if (IsStoreOemInf(m_folder, path)) files.push_back(path);
    return files;
}

const CModelNames &COemInfStore::NamesOf(const CString &oem) {
    auto known = m_names.find(oem);
    if (known == m_names.end()) {
        CModelNames names;
        m_app.kGetDriverNames(oem, names);
        // Sorted when first needed: a store without older files (the
        // usual first installation) never needs it.
        if (!m_ourModelHashesSorted) std::sort(m_ourModelHashes.begin(), m_ourModelHashes.end());
        m_ourModelHashesSorted = true;
        // Another maker's file can never be covered: it is kept as offering
        // nothing, its storage freed too (such a file may offer thousands).
        // A name whose hash none of ours has is certainly not ours; one
        // that shares a hash with ours is told apart when compared.
        const bool offersOnlyOurs = names.All([this](std::string_view name) {
            return std::binary_search(m_ourModelHashes.begin(), m_ourModelHashes.end(), ModelNameHash(name));
        });
        if (!offersOnlyOurs) names = CModelNames();
        known = m_names.emplace(oem, std::move(names)).first;
    }
    return known->second;
}

CStringList COemInfStore::CoveringListed(const CModelNames &ours) {
    CStringList matches;
    if (m_files.empty()) return matches;
    const CModelNameIndex index(ours);
    for (const CString &oem : m_files)
        if (CoversAll(index, NamesOf(oem))) matches.push_back(oem);
    return matches;
}

CStringList COemInfStore::Covering(const CModelNames &ours) {
    const CStringList matches = CoveringListed(ours);
    if (matches.size() < 2) return matches;
    m_files = List();
    return CoveringListed(ours);
}

CString COemInfStore::FreeName() {
    for (UINT n = m_firstFreeNumber;; ++n) {
        const CString candidate = m_folder + FormatString("OEM%u.inf", n);
        OFSTRUCT info = {};
        if (OpenFile(candidate.c_str(), &info, OF_EXIST) == HFILE_ERROR) {
            m_firstFreeNumber = n + 1;
            return candidate;
        }
    }
}

void COemInfStore::Written(const CString &oem, CModelNames names) {
    m_names[oem] = std::move(names);
    if (std::find(m_files.begin(), m_files.end(), oem) == m_files.end()) m_files.push_back(oem);
}

void COemInfStore::Deleted(const CString &oem) {
    m_names.erase(oem);
    m_files.erase(std::remove(m_files.begin(), m_files.end(), oem), m_files.end());
    m_firstFreeNumber = 0;
}

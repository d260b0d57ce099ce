// Windows NT 4.0's INF store as its OEM INF step sees it: the numbered
// OEM<n>.inf files directly in the store and the model names each offers.
//
// The store is listed and each file read once; what the step copies in or
// deletes is recorded as it happens, so the files and names are those on
// disk without listing and reading the whole store again for every INF of
// a driver folder (that took minutes for a folder of a few hundred INF
// files). Which of several matches receives a copy depends on the order in
// which the store lists its files, so that case alone lists it again.
// Only the names of files that could be older copies of ours are kept: a
// file offering any model that none of ours offers is never replaced.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "framework/afx.h"
#include "inf/model_name_index.h"

class CMirtelApp;

class COemInfStore {
public:
    // `folder` ends with a backslash; `ourModels` holds the models of each
    // INF of ours that the step will compare.
    COemInfStore(CMirtelApp &app, const CString &folder, const std::vector<CModelNames> &ourModels);

    // The OEM INF files whose model names are all among `ours`, in the
    // order the store lists them. A file that cannot be read, or offers no
    // model, matches nothing.
    CStringList Covering(const CModelNames &ours);

    // The first OEM<n>.inf, n = 0, 1, ..., that the store does not hold;
    // the caller fills it, so the next call looks past it.
    CString FreeName();

    // `oem` now holds a copy of an INF offering `names`.
    void Written(const CString &oem, CModelNames names);
    // `oem` is gone; its number is free again.
    void Deleted(const CString &oem);

private:
    CStringList List() const;
    // Covering() over the files as last listed or recorded.
    CStringList CoveringListed(const CModelNames &ours);
    const CModelNames &NamesOf(const CString &oem);

    CMirtelApp &m_app;
    CString m_folder;
    // Hashes of our model names: a few bytes a name where a copy of each
    // would take as much again as the names themselves.
    std::vector<std::uint64_t> m_ourModelHashes;
    bool m_ourModelHashesSorted = false;
    CStringList m_files;
    std::map<CString, CModelNames> m_names;
    // Every number below it was seen taken or filled by this step.
    UINT m_firstFreeNumber = 0;
};

// A message resource file (RES\PSDI_<code>.IRC): sections of key=value
// lines, looked up by section "String" and key.
#pragma once

#include <map>

#include "framework/afx.h"

class CResourceFile {
public:
    // Empties the map, then reads the file. TRUE when read to its end.
    BOOL Load(const char *path);
    // Looks up String____<key>; empties `text` first.
    BOOL GetString(const char *key, CString &text) const;

private:
    std::map<CString, CString> m_map;
};

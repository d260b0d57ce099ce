// Path, folder-search and profile helpers shared by every part of the
// program. They hold no state.
#pragma once

#include "framework/afx.h"

// Selectors of SplitPath.
enum {
    kSplitDriveFolder = 0,        // drive + folder without its final separator
    kSplitDriveFolderSlash = 10,  // drive + folder with it
    kSplitNameExt = 1,
    kSplitDrive = 2,
    kSplitFolder = 3,
    kSplitFolderSlash = 30,
    kSplitName = 4,
    kSplitExt = 5,
    kSplitNoExt = 6,
};

void SplitPath(const char *path, int selector, CString &out);
BOOL MakeFullPath(const char *baseFolder, const char *path, CString &out);
void FindFilesRecursive(const CString &folder, const char *pattern, CStringList &list);
BOOL ReadProfileString(const char *file, const char *section, const char *key, CString &out,
                       int &found);
BOOL ReadProfileNames(const char *file, const char *section, CStringList &list);
void GetWindowsFolder(char *buffer, UINT size);
// The system folder (GetSystemDirectoryA); empty when it cannot be had.
CString SystemFolder();
// `name` in `folder`, with one separator between them.
CString JoinPath(const CString &folder, const char *name);

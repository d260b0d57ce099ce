// Tests on the paths, file names and texts that the INF steps compare or
// build file names from.
#pragma once

#include <string_view>

#include "framework/afx.h"

// Equal, letter case of A-Z ignored, as the program compares INF values
// and folder names.
bool SameTextNoCase(std::string_view a, std::string_view b);

// A name that can only name a file inside the folder it is joined to:
// not empty, no path separator, drive colon, wildcard, quote, angle
// bracket, bar or control character (double-byte characters of the ANSI
// code page taken whole), and not a device such as CON or LPT1.
bool IsPlainFileName(const CString &name);

// "OEM<n>.inf" with n one or more decimal digits, letter case ignored: the
// names the system gives the OEM INF files of its INF store.
bool IsNumberedOemInfName(const CString &name);

// An existing folder (as opposed to a file, or nothing at all).
bool IsExistingFolder(const CString &path);

// Splitting a path into drive, folder, name and extension as the C
// runtime's _splitpath does, with the double-byte characters of a given
// code page kept whole. win::CrtSplitPath uses the ANSI code page; tests
// name one (932, Shift-JIS) to check the double-byte rules on any machine.
#pragma once

namespace win32 {

void SplitPathInCodePage(unsigned codePage, const char *path, char *drive, char *dir, char *fname,
                         char *ext);

}  // namespace win32

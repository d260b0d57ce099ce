// The library search of the whole process, narrowed once at start-up.
#pragma once

namespace win32 {

// Takes the program's folder and the current folder out of the search for
// every library loaded from now on, where the system offers a way to: a
// package folder is often one that others can write to. Systems that
// offer none (95, NT 4.0) keep their search; the program names its
// libraries by full path there.
void RestrictLibrarySearch();

}  // namespace win32

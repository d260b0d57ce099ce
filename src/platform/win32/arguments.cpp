// The process's arguments: the C runtime has already split the command line
// into __argc / __argv before WinMain runs, by the rules the program
// documents (blanks separate, double quotes group). Reading them here
// rather than from WinMain lets tests, which have their own entry point,
// see the same vector.
#include <cstdlib>

#include "platform/entry.h"
#include "platform/win32/native.h"

namespace win {

int ArgumentCount() { return __argc; }

const char *const *Arguments() { return __argv; }

}  // namespace win

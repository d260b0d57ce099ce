// The program's entry point and its argument vector. main (native) or
// WinMain (Windows) lives in the platform layer and hands over to
// ProgramMain, which the framework defines.
#pragma once

int ProgramMain();

namespace win {

// The process's arguments as the C runtime splits the command line
// (blanks separate, double quotes group); argv[0] is the program.
int ArgumentCount();
const char *const *Arguments();

}  // namespace win

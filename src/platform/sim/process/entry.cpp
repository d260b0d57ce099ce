// The native program's entry point: keep the arguments for the program, in
// the machine's ANSI code page, then hand over to the framework.
#include "platform/entry.h"
#include "platform/sim/process/arguments.h"

int main(int argc, char **argv) {
    sim::SetHostArguments(argc, argv);
    return ProgramMain();
}

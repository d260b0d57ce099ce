// The native program's entry point: keep the arguments for the program,
// then hand over to the framework.
#include "platform/entry.h"
#include "platform/sim/process/arguments.h"

int main(int argc, char **argv) {
    sim::SetArguments(argc, argv);
    return ProgramMain();
}

// A program planted where a bare program name could find it (copied as
// rundll32.exe beside SETUP.EXE or into the current folder): it only says
// that it ran.
#include "planted/marker.h"

int main() {
    WritePlantedMarker(nullptr, "program");
    return 0;
}

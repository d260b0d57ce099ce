// The registry.reg reader on arbitrary text. What it accepts must write
// back as text that reads again into the same tree: written, read and
// written once more, the text does not change.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/sim/registry/registry_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    sim::RegTree tree;
    sim::RegParseError error;
    if (!sim::ParseRegedit4(text, &tree, &error)) return 0;
    const std::string written = sim::FormatRegedit4(tree);
    sim::RegTree again;
    if (!sim::ParseRegedit4(written, &again, &error)) {
        std::fprintf(stderr, "written text does not read: line %d: %s\n", error.line, error.message.c_str());
        __builtin_trap();
    }
    if (sim::FormatRegedit4(again) != written) {
        std::fprintf(stderr, "written text reads into another tree\n");
        __builtin_trap();
    }
    return 0;
}

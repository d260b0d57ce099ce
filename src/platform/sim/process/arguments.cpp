#include "platform/sim/process/arguments.h"

#include <string>
#include <vector>

#include "platform/entry.h"

namespace sim {
namespace {

// Copies, so that a caller's array may go away; the pointer array ends
// with a null entry as argv does.
struct ArgumentVector {
    std::vector<std::string> texts;
    std::vector<const char *> pointers{nullptr};
};

ArgumentVector &Stored() {
    static ArgumentVector arguments;
    return arguments;
}

}  // namespace

void SetArguments(int argc, const char *const *argv) {
    ArgumentVector &stored = Stored();
    stored.texts.assign(argv, argv + argc);
    stored.pointers.clear();
    for (const std::string &text : stored.texts) stored.pointers.push_back(text.c_str());
    stored.pointers.push_back(nullptr);
}

}  // namespace sim

namespace win {

int ArgumentCount() { return static_cast<int>(sim::Stored().texts.size()); }
const char *const *Arguments() { return sim::Stored().pointers.data(); }

}  // namespace win

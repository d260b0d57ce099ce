// The unit tests run against a throw-away machine of their own, never the
// user's default machine: before any test runs, MIRTEL_MACHINE names a new
// machine folder made from the template, removed when the tests end.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/sim/machine/machine.h"

namespace {

class UnitTestMachine {
public:
    UnitTestMachine() : m_owner(getpid()) {
        std::string root = (std::filesystem::temp_directory_path() / "mirtel-unit-XXXXXX").string();
        std::string error;
        if (mkdtemp(root.data()) == nullptr ||
            !sim::CreateMachineFolder(root + "/machine", &error)) {
            std::fprintf(stderr, "cannot make the unit tests' machine: %s\n", error.c_str());
            std::abort();
        }
        m_root = root;
        setenv("MIRTEL_MACHINE", (root + "/machine").c_str(), 1);
    }
    ~UnitTestMachine() {
        // Forked children (death tests) leave the folder to their parent.
        std::error_code ignored;
        if (getpid() == m_owner) std::filesystem::remove_all(m_root, ignored);
    }

private:
    pid_t m_owner;
    std::string m_root;
};

const UnitTestMachine unitTestMachine;

}  // namespace

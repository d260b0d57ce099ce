#include "fuzz_machine.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/sim/machine/machine.h"

namespace fuzzing {
namespace {

class TemporaryMachine {
public:
    TemporaryMachine() {
        char pattern[] = "/tmp/mirtel-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) Fail("cannot make a temporary folder");
        m_root = pattern;
        m_folder = m_root + "/machine";
        std::string error;
        if (!sim::CreateMachineFolder(m_folder, &error)) Fail(error);
        sim::Machine::UseFolder(m_folder);
    }
    ~TemporaryMachine() {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    const std::string &Folder() const { return m_folder; }

private:
    [[noreturn]] static void Fail(const std::string &message) {
        std::fprintf(stderr, "fuzz machine: %s\n", message.c_str());
        std::abort();
    }
    std::string m_root;
    std::string m_folder;
};

}  // namespace

const std::string &UseFuzzMachine() {
    static TemporaryMachine machine;
    return machine.Folder();
}

}  // namespace fuzzing

// A temporary host folder, removed with everything in it when the object
// goes.
#pragma once

#include <string>

namespace check {

class ScratchFolder {
public:
    // A new folder "mirtel-check-XXXXXX" in /dev/shm, or in TMPDIR when that
    // is set or there is no /dev/shm; Path() is empty when none could be made.
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::string &Path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace check

#include "scratch_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace check {
namespace {

// Machines and package copies are many small files that live for a moment:
// a memory file system holds them best, unless TMPDIR names another place.
fs::path TemporaryRoot() {
    const char *tmpdir = std::getenv("TMPDIR");
    if ((!tmpdir || !*tmpdir) && access("/dev/shm", W_OK | X_OK) == 0) return "/dev/shm";
    std::error_code ec;
    return fs::temp_directory_path(ec);
}

}  // namespace

ScratchFolder::ScratchFolder() {
    std::string pattern = (TemporaryRoot() / "mirtel-check-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!m_path.empty()) fs::remove_all(m_path, ignored);
}

}  // namespace check

#include "progress.h"

#include <unistd.h>

#include <cstdio>

namespace check {

ProgressLine::ProgressLine() : m_terminal(isatty(STDERR_FILENO) != 0) {}

ProgressLine::~ProgressLine() {
    if (m_shown) std::fprintf(stderr, "\r\033[K");
}

void ProgressLine::Show(const std::string &what, std::size_t done, std::size_t total) {
    if (!m_terminal) return;
    std::fprintf(stderr, "\r\033[K%s %zu/%zu", what.c_str(), done, total);
    std::fflush(stderr);
    m_shown = true;
}

}  // namespace check

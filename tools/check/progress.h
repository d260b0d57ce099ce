// A progress line on standard error while the check runs, when standard
// error is a terminal; nothing otherwise.
#pragma once

#include <cstddef>
#include <string>

namespace check {

class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine();  // clears the line
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    void Show(const std::string &what, std::size_t done, std::size_t total);

private:
    bool m_terminal;
    bool m_shown = false;
};

}  // namespace check

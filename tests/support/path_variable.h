// Puts the process's PATH back as it was when the guard was made: the
// setup-API loader extends PATH for the rest of the process.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace inf_testing {

class PathVariableGuard {
public:
    PathVariableGuard() {
        if (const char *value = std::getenv("PATH")) m_saved = value;
    }
    ~PathVariableGuard() {
        if (m_saved)
            setenv("PATH", m_saved->c_str(), 1);
        else
            unsetenv("PATH");
    }
    PathVariableGuard(const PathVariableGuard &) = delete;
    PathVariableGuard &operator=(const PathVariableGuard &) = delete;

private:
    std::optional<std::string> m_saved;
};

}  // namespace inf_testing

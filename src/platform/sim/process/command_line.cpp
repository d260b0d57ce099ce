#include "platform/sim/process/command_line.h"

#include <strings.h>

namespace sim {

std::vector<std::string> SplitCommandLine(const std::string &commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

std::string ProgramName(const std::string &firstWord) {
    const std::size_t slash = firstWord.find_last_of("\\/");
    std::string name = slash == std::string::npos ? firstWord : firstWord.substr(slash + 1);
    if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".exe") == 0)
        name.resize(name.size() - 4);
    return name;
}

}  // namespace sim

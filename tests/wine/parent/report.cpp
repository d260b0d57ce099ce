#include "parent/report.h"

#include <cstdio>

std::string OneLine(const std::string &text) {
    std::string result;
    for (char c : text) {
        if (c == '\r') {
            result += "\\r";
        } else if (c == '\n') {
            result += "\\n";
        } else if (c == '\t') {
            result += "\\t";
        } else {
            result += c;
        }
    }
    return result;
}

void Report(const std::string &label, const std::string &event, const std::string &fields) {
    std::string name = label.empty() ? event : label + "." + event;
    std::printf("%s\t%s\n", name.c_str(), fields.c_str());
    std::fflush(stdout);
}

#include "machine_ini.h"

#include <strings.h>

#include <fstream>
#include <sstream>

#include "inf_lines.h"

namespace check {
namespace {

// The line without its comment and surrounding blanks.
std::string Content(const std::string &line) { return Trim(line.substr(0, line.find(';'))); }

bool SameName(const std::string &a, const std::string &b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

void Set(std::vector<std::string> &lines, const IniValue &value) {
    const std::string entry = value.key + "=" + value.value;
    std::size_t i = 0;
    while (i < lines.size() && !SameName(Content(lines[i]), "[" + value.section + "]")) ++i;
    if (i == lines.size()) {
        lines.push_back("[" + value.section + "]");
        lines.push_back(entry);
        return;
    }
    std::size_t end = i + 1;
    for (; end < lines.size(); ++end) {
        const std::string content = Content(lines[end]);
        if (!content.empty() && content[0] == '[') break;
        if (SameName(Trim(content.substr(0, content.find('='))), value.key)) {
            lines[end] = entry;
            return;
        }
    }
    lines.insert(lines.begin() + static_cast<long>(end), entry);
}

}  // namespace

bool SetIniValues(const std::string &path, const std::vector<IniValue> &values) {
    std::ifstream in(path);
    if (!in) return false;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    in.close();
    for (const IniValue &value : values) Set(lines, value);
    std::ostringstream text;
    for (const std::string &line : lines) text << line << "\n";
    std::ofstream out(path, std::ios::trunc);
    out << text.str();
    out.close();
    return static_cast<bool>(out);
}

}  // namespace check

// transcript.jsonl: appended with one write per line, so that lines of
// processes sharing the machine interleave whole.
#include "platform/sim/machine/transcript.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/sim/machine/machine.h"

namespace sim {

std::string JsonString(const std::string &utf8) {
    std::string json = "\"";
    for (char c : utf8) {
        switch (c) {
            case '"': json += "\\\""; break;
            case '\\': json += "\\\\"; break;
            case '\n': json += "\\n"; break;
            case '\r': json += "\\r"; break;
            case '\t': json += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    json += escaped;
                } else {
                    json += c;
                }
        }
    }
    return json + "\"";
}

std::string JsonHex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "\"0x%llx\"", static_cast<unsigned long long>(value));
    return text;
}

std::string HexBytes(const std::string &bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0xF];
    }
    return hex;
}

namespace {

// A \uXXXX escape as UTF-8 (code points of the Basic Multilingual Plane).
void AppendUtf8(unsigned code, std::string *text) {
    if (code < 0x80) {
        text->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        text->push_back(static_cast<char>(0xC0 | (code >> 6)));
        text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        text->push_back(static_cast<char>(0xE0 | (code >> 12)));
        text->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

class LineReader {
public:
    explicit LineReader(const std::string &line) : m_line(line) {}

    bool Object(std::map<std::string, std::string> *fields) {
        fields->clear();
        if (!Take('{')) return false;
        if (Take('}')) return AtEnd();
        for (;;) {
            std::string key, value;
            if (!String(&key) || !Take(':') || !Value(&value)) return false;
            (*fields)[key] = value;
            if (Take('}')) return AtEnd();
            if (!Take(',')) return false;
        }
    }

private:
    void Skip() {
        while (m_pos < m_line.size() && std::isspace(static_cast<unsigned char>(m_line[m_pos]))) ++m_pos;
    }
    bool Take(char c) {
        Skip();
        if (m_pos >= m_line.size() || m_line[m_pos] != c) return false;
        ++m_pos;
        return true;
    }
    bool AtEnd() {
        Skip();
        return m_pos == m_line.size();
    }
    bool String(std::string *text) {
        if (!Take('"')) return false;
        while (m_pos < m_line.size()) {
            char c = m_line[m_pos++];
            if (c == '"') return true;
            if (c != '\\') {
                text->push_back(c);
                continue;
            }
            if (m_pos >= m_line.size()) return false;
            c = m_line[m_pos++];
            switch (c) {
            case 'n': text->push_back('\n'); break;
            case 't': text->push_back('\t'); break;
            case 'r': text->push_back('\r'); break;
            case 'b': text->push_back('\b'); break;
            case 'f': text->push_back('\f'); break;
            case 'u':
                if (m_pos + 4 > m_line.size()) return false;
                AppendUtf8(static_cast<unsigned>(std::strtoul(m_line.substr(m_pos, 4).c_str(), nullptr, 16)),
                           text);
                m_pos += 4;
                break;
            default: text->push_back(c);
            }
        }
        return false;
    }
    // A string, or a number or literal up to the next "," or "}".
    bool Value(std::string *value) {
        Skip();
        if (m_pos < m_line.size() && m_line[m_pos] == '"') return String(value);
        while (m_pos < m_line.size() && m_line[m_pos] != ',' && m_line[m_pos] != '}') value->push_back(m_line[m_pos++]);
        while (!value->empty() && std::isspace(static_cast<unsigned char>(value->back()))) value->pop_back();
        return !value->empty();
    }

    const std::string &m_line;
    std::size_t m_pos = 0;
};

}  // namespace

bool ParseTranscriptLine(const std::string &line, std::map<std::string, std::string> *fields) {
    return LineReader(line).Object(fields);
}

void AppendTranscript(const std::string &jsonObject) {
    const std::string path = Machine::Get().Folder() + "/transcript.jsonl";
    const std::string line = jsonObject + "\n";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0 || write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        std::fprintf(stderr, "mirtel: cannot append to %s\n", path.c_str());
    if (fd >= 0) close(fd);
}

}  // namespace sim

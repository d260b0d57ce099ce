// transcript.jsonl: appended with one write per line, so that lines of
// processes sharing the machine interleave whole.
#include "platform/sim/machine/transcript.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

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

void AppendTranscript(const std::string &jsonObject) {
    const std::string path = Machine::Get().Folder() + "/transcript.jsonl";
    const std::string line = jsonObject + "\n";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0 || write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        std::fprintf(stderr, "mirtel: cannot append to %s\n", path.c_str());
    if (fd >= 0) close(fd);
}

}  // namespace sim

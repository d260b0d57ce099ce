#include "platform/sim/profile/profile_prefix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/sim/files/regular_file.h"
#include "platform/sim/profile/profile_line.h"
#include "platform/sim/text/codepage.h"

namespace sim {
namespace {

bool StartsWithByteOrderMark(const std::string &bytes) {
    for (const char *mark : {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"})
        if (bytes.compare(0, std::strlen(mark), mark) == 0) return true;
    return false;
}

// A section header's name as lookups compare it: cut at a NUL, upper-cased.
std::string HeaderName(const ProfileLine &line, win::UINT codePage) {
    std::string_view name(line.nameBegin, static_cast<std::size_t>(line.nameEnd - line.nameBegin));
    name = name.substr(0, name.find('\0'));
    return AnsiUpper(std::string(name), codePage);
}

}  // namespace

bool ReadProfilePrefix(const std::string &hostPath, win::UINT codePage, const std::string &sectionUpper,
                       std::string *bytes) {
    const UniqueFd fd = OpenRegularFile(hostPath, O_RDONLY);
    struct stat info;
    if (!fd || fstat(fd.Get(), &info) != 0) return false;
    bytes->clear();
    // Room for the whole file, so that a section at its end is read without
    // copies; the pages a short read never touches cost nothing.
    bytes->reserve(static_cast<std::size_t>(info.st_size));
    std::size_t scanned = 0;  // where the first line not yet looked at starts
    bool inSection = false;
    bool atEnd = false;
    char chunk[64 * 1024];
    while (!atEnd) {
        const std::size_t had = bytes->size();
        const ssize_t count = read(fd.Get(), chunk, sizeof chunk);
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes->append(chunk, static_cast<std::size_t>(count));
        atEnd = count == 0;
        if (had == 0 && StartsWithByteOrderMark(*bytes)) return false;

        // Whole lines only: a line still being read may yet be a header.
        // Its start is looked for in the new bytes alone.
        const char *const text = bytes->data();
        const char *end = text + bytes->size();
        if (!atEnd) {
            while (end > text + had && end[-1] != '\r' && end[-1] != '\n') --end;
            if (end == text + had) end = text + scanned;
        }
        for (const char *lineStart = text + scanned; lineStart < end;) {
            const ProfileLine line = ReadProfileLine(lineStart, end, codePage);
            if (line.kind == ProfileLine::kHeader) {
                if (inSection) {
                    bytes->resize(static_cast<std::size_t>(lineStart - text));
                    return true;
                }
                inSection = HeaderName(line, codePage) == sectionUpper;
            }
            lineStart = line.next;
        }
        scanned = static_cast<std::size_t>(end - text);
    }
    return true;
}

}  // namespace sim

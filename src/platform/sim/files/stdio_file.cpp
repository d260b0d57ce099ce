// fopen with a Windows path and the Microsoft runtime's text mode: "\n" is
// written as CR LF, CR LF is read back as "\n", and Ctrl+Z (0x1A) ends
// what a text-mode read sees. "b" reads and writes byte for byte.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/sim/files/host_files.h"
#include "platform/sim/files/paths.h"
#include "platform/sim/files/regular_file.h"
#include "platform/sim/unique_fd.h"

namespace win {
namespace {

constexpr char kCtrlZ = 0x1A;

struct StdioMode {
    char kind = 0;  // 'r', 'w' or 'a'
    bool update = false;
    bool text = true;

    bool Writes() const { return kind != 'r' || update; }
    int OpenFlags() const {
        int flags = update ? O_RDWR : kind == 'r' ? O_RDONLY : O_WRONLY;
        if (kind != 'r') flags |= O_CREAT;
        if (kind == 'a') flags |= O_APPEND;
        return flags | O_CLOEXEC;
    }
    std::string HostMode() const { return std::string(1, kind) + (update ? "+" : ""); }
};

bool ParseMode(const char *mode, StdioMode *parsed) {
    if (mode == nullptr || std::strchr("rwa", mode[0]) == nullptr || mode[0] == '\0') return false;
    parsed->kind = mode[0];
    for (const char *c = mode + 1; *c != '\0' && *c != ','; ++c) {
        if (*c == '+') parsed->update = true;
        else if (*c == 'b') parsed->text = false;
        else if (*c == 't') parsed->text = true;
    }
    return true;
}

// The stream's state between the C library and the host descriptor.
struct StdioFile {
    StdioFile(sim::UniqueFd descriptor, bool textMode) : fd(std::move(descriptor)), text(textMode) {}

    sim::UniqueFd fd;
    bool text;
    char raw[4096];
    std::size_t rawLength = 0;
    std::size_t rawPosition = 0;
    bool endOfText = false;  // a Ctrl+Z was read

    bool Refill() {
        ssize_t got;
        do got = ::read(fd.Get(), raw, sizeof raw);
        while (got < 0 && errno == EINTR);
        rawPosition = 0;
        rawLength = got > 0 ? static_cast<std::size_t>(got) : 0;
        return got > 0;
    }

    // A CR at the end of the raw buffer: whether LF follows decides
    // whether it stands for "\n" or for itself.
    bool LineFeedFollows() {
        char next;
        ssize_t got;
        do got = ::read(fd.Get(), &next, 1);
        while (got < 0 && errno == EINTR);
        if (got <= 0) return false;
        if (next == '\n') return true;
        raw[0] = next;
        rawLength = 1;
        rawPosition = 0;
        return false;
    }
};

ssize_t ReadStream(void *cookie, char *buffer, std::size_t size) {
    StdioFile &file = *static_cast<StdioFile *>(cookie);
    if (!file.text) {
        ssize_t got;
        do got = ::read(file.fd.Get(), buffer, size);
        while (got < 0 && errno == EINTR);
        return got;
    }
    std::size_t out = 0;
    while (out < size && !file.endOfText) {
        if (file.rawPosition == file.rawLength && !file.Refill()) break;
        const char c = file.raw[file.rawPosition++];
        if (c == kCtrlZ) {
            file.endOfText = true;
        } else if (c != '\r') {
            buffer[out++] = c;
        } else if (file.rawPosition < file.rawLength) {
            const bool crlf = file.raw[file.rawPosition] == '\n';
            if (crlf) ++file.rawPosition;
            buffer[out++] = crlf ? '\n' : '\r';
        } else {
            buffer[out++] = file.LineFeedFollows() ? '\n' : '\r';
        }
    }
    return static_cast<ssize_t>(out);
}

bool WriteAll(int fd, const char *data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

ssize_t WriteStream(void *cookie, const char *buffer, std::size_t size) {
    StdioFile &file = *static_cast<StdioFile *>(cookie);
    if (!file.text) return WriteAll(file.fd.Get(), buffer, size) ? static_cast<ssize_t>(size) : -1;
    std::string translated;
    translated.reserve(size + size / 8);
    for (std::size_t i = 0; i < size; ++i) {
        if (buffer[i] == '\n') translated += '\r';
        translated += buffer[i];
    }
    return WriteAll(file.fd.Get(), translated.data(), translated.size()) ? static_cast<ssize_t>(size) : -1;
}

// Positions are those of the host file; text read ahead and not yet
// handed out is given back first.
int SeekStream(void *cookie, off64_t *offset, int whence) {
    StdioFile &file = *static_cast<StdioFile *>(cookie);
    off64_t target = *offset;
    if (whence == SEEK_CUR) {
        const off64_t current = lseek64(file.fd.Get(), 0, SEEK_CUR);
        if (current < 0) return -1;
        target += current - static_cast<off64_t>(file.rawLength - file.rawPosition);
        whence = SEEK_SET;
    }
    const off64_t result = lseek64(file.fd.Get(), target, whence);
    if (result < 0) return -1;
    file.rawLength = file.rawPosition = 0;
    file.endOfText = false;
    *offset = result;
    return 0;
}

int CloseStream(void *cookie) {
    delete static_cast<StdioFile *>(cookie);
    return 0;
}

std::FILE *Fail(int error) {
    errno = error;
    return nullptr;
}

std::FILE *StreamOver(sim::UniqueFd fd, const StdioMode &parsed) {
    auto *file = new StdioFile(std::move(fd), parsed.text);
    const cookie_io_functions_t functions = {ReadStream, WriteStream, SeekStream, CloseStream};
    std::FILE *stream = fopencookie(file, parsed.HostMode().c_str(), functions);
    if (stream == nullptr) {
        const int error = errno;
        delete file;
        return Fail(error);
    }
    return stream;
}

}  // namespace

std::FILE *OpenStdioFile(const char *path, const char *mode) {
    StdioMode parsed;
    if (path == nullptr || !ParseMode(mode, &parsed)) return Fail(EINVAL);
    const std::string host = sim::HostPath(path);
    if (host.empty()) return Fail(ENOENT);
    struct stat info;
    if (stat(host.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return Fail(EACCES);
        if (parsed.Writes() && sim::IsReadOnlyFile(info)) return Fail(EACCES);
    }
    sim::UniqueFd fd = sim::OpenRegularFile(host, parsed.OpenFlags(), 0666);
    if (!fd) return Fail(errno);
    // The runtime opens files for others to read and write as well; only
    // an exclusive open elsewhere keeps it out.
    if (!sim::LockForSharing(fd.Get(), false)) return Fail(EACCES);
    if (parsed.kind == 'w' && ftruncate(fd.Get(), 0) != 0) return Fail(errno);
    return StreamOver(std::move(fd), parsed);
}

std::FILE *OpenOwnFileForAppend(const char *path) {
    StdioMode parsed;
    ParseMode("a", &parsed);
    const std::string host = path == nullptr ? std::string() : sim::HostPath(path);
    if (host.empty()) return Fail(ENOENT);
    // A symbolic link is not followed (ELOOP); a file that is one of
    // several names of the same data is left alone.
    sim::UniqueFd fd = sim::OpenRegularFile(host, parsed.OpenFlags() | O_NOFOLLOW, 0666);
    if (!fd) return Fail(errno);
    struct stat info;
    if (fstat(fd.Get(), &info) != 0) return Fail(errno);
    if (info.st_nlink != 1 || sim::IsReadOnlyFile(info)) return Fail(EACCES);
    if (!sim::LockForSharing(fd.Get(), false)) return Fail(EACCES);
    return StreamOver(std::move(fd), parsed);
}

}  // namespace win

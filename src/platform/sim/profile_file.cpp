#include "platform/sim/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <mutex>

#include "platform/sim/codepage.h"
#include "platform/sim/unicode.h"
#include "platform/sim/unique_fd.h"

namespace sim {
namespace {

// Files kept parsed: the program reads each INF file's [Version] a few
// times in a row, so the most recent files are enough.
constexpr std::size_t kCachedFiles = 64;

struct CachedProfile {
    std::string hostPath;
    win::UINT codePage;
    dev_t device;
    ino_t inode;
    off_t size;
    struct timespec modified;
    std::shared_ptr<const ProfileFile> profile;

    bool Matches(const struct stat &info) const {
        return device == info.st_dev && inode == info.st_ino && size == info.st_size &&
               modified.tv_sec == info.st_mtim.tv_sec && modified.tv_nsec == info.st_mtim.tv_nsec;
    }
};

struct ProfileCache {
    std::mutex lock;
    std::vector<CachedProfile> recent;  // most recently used first
};

ProfileCache &Cache() {
    static ProfileCache cache;
    return cache;
}

std::string CutAtNul(const char *begin, const char *end) {
    const void *nul = std::memchr(begin, '\0', static_cast<std::size_t>(end - begin));
    return std::string(begin, nul != nullptr ? static_cast<const char *>(nul) : end);
}

// The last "]" of [begin, end), skipping double-byte characters.
const char *LastClosingBracket(const char *begin, const char *end, win::UINT codePage) {
    const char *found = nullptr;
    for (const char *p = begin; p < end; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(*p), codePage)) ++p;
        else if (*p == ']') found = p;
    }
    return found;
}

void TrimRange(const char *&begin, const char *&end) {
    while (begin < end && IsProfileBlank(*begin)) ++begin;
    while (end > begin && IsProfileBlank(end[-1])) --end;
}

bool ReadWhole(int fd, std::string *bytes) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes->append(buffer, static_cast<std::size_t>(got));
    }
}

// The file's text: a byte-order mark selects UTF-16 (either byte order)
// or UTF-8, and the text is returned as UTF-8 with `unicode` set; anything
// else is taken as ANSI text.
std::string DecodeProfileText(const std::string &bytes, bool *unicode) {
    auto startsWith = [&](const char *mark, std::size_t length) {
        return bytes.size() >= length && std::memcmp(bytes.data(), mark, length) == 0;
    };
    *unicode = true;
    if (startsWith("\xFF\xFE", 2)) return EncodeUtf8(DecodeUtf16(bytes.data() + 2, bytes.size() - 2, false));
    if (startsWith("\xFE\xFF", 2)) return EncodeUtf8(DecodeUtf16(bytes.data() + 2, bytes.size() - 2, true));
    if (startsWith("\xEF\xBB\xBF", 3)) return bytes.substr(3);
    *unicode = false;
    return bytes;
}

// A name between `begin` and `end` of the file's text.
ProfileName MakeName(const char *begin, const char *end, bool unicode, win::UINT codePage) {
    ProfileName name;
    name.text = CutAtNul(begin, end);
    if (unicode) {
        const std::string utf8 = name.text;
        name.text = Utf8ToAnsi(utf8, codePage);
        name.matchable = AnsiToUtf8(name.text, codePage) == utf8;
    }
    if (name.matchable) name.upper = AnsiUpper(name.text, codePage);
    return name;
}

// File times come from a coarse clock: a file written again within the
// same tick keeps its time (and its size, if the text is as long). Only
// files left alone for longer than a tick are trusted to stay the same
// while their stat() does.
bool SettledLongEnough(const struct stat &info) {
    constexpr long long kTickNanoseconds = 100 * 1000 * 1000;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const long long age = (static_cast<long long>(now.tv_sec) - info.st_mtim.tv_sec) * 1000000000LL +
                          (now.tv_nsec - info.st_mtim.tv_nsec);
    return age >= kTickNanoseconds;
}

const std::shared_ptr<const ProfileFile> &EmptyProfile() {
    static const std::shared_ptr<const ProfileFile> empty = std::make_shared<const ProfileFile>();
    return empty;
}

}  // namespace

bool IsProfileBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

ProfileFile ParseProfile(const std::string &text, bool unicode, win::UINT codePage) {
    // UTF-8 has no lead bytes whose trail could be taken for "]".
    const win::UINT textCodePage = unicode ? 0 : codePage;
    ProfileFile profile;
    std::vector<ProfileKey> *keys = &profile.beforeFirstSection;
    const char *const textEnd = text.data() + text.size();
    for (const char *lineStart = text.data(); lineStart < textEnd;) {
        const char *lineEnd = lineStart;
        while (lineEnd < textEnd && *lineEnd != '\r' && *lineEnd != '\n') ++lineEnd;
        const char *next = lineEnd + 1;
        const char *begin = lineStart;
        const char *end = lineEnd;
        lineStart = next;
        TrimRange(begin, end);
        if (begin == end) continue;

        if (*begin == '[') {
            if (const char *close = LastClosingBracket(begin + 1, end, textCodePage)) {
                const char *nameBegin = begin + 1;
                const char *nameEnd = close;
                TrimRange(nameBegin, nameEnd);
                ProfileSection section;
                section.name = MakeName(nameBegin, nameEnd, unicode, codePage);
                profile.sections.push_back(std::move(section));
                keys = &profile.sections.back().keys;
                continue;
            }
        }
        // "=" is never the trail byte of a double-byte character.
        const char *equals = static_cast<const char *>(std::memchr(begin, '=', static_cast<std::size_t>(end - begin)));
        const char *nameEnd = equals != nullptr ? equals : end;
        while (nameEnd > begin && IsProfileBlank(nameEnd[-1])) --nameEnd;
        // A second nameless line in a row is dropped, as Windows' reader does.
        if (nameEnd == begin && !keys->empty() && keys->back().name.text.empty()) continue;
        ProfileKey key;
        key.name = MakeName(begin, nameEnd, unicode, codePage);
        key.hasValue = equals != nullptr;
        if (key.hasValue) {
            const char *valueBegin = equals + 1;
            while (valueBegin < end && IsProfileBlank(*valueBegin)) ++valueBegin;
            key.value = CutAtNul(valueBegin, end);
            if (unicode) key.value = Utf8ToAnsi(key.value, codePage);
        }
        keys->push_back(std::move(key));
    }
    return profile;
}

std::shared_ptr<const ProfileFile> LoadProfile(const std::string &hostPath, win::UINT codePage) {
    ProfileCache &cache = Cache();
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return EmptyProfile();
    {
        std::lock_guard<std::mutex> guard(cache.lock);
        auto found = std::find_if(cache.recent.begin(), cache.recent.end(), [&](const CachedProfile &cached) {
            return cached.hostPath == hostPath && cached.codePage == codePage && cached.Matches(info);
        });
        if (found != cache.recent.end()) {
            std::rotate(cache.recent.begin(), found, found + 1);
            return cache.recent.front().profile;
        }
    }
    const UniqueFd fd(open(hostPath.c_str(), O_RDONLY | O_CLOEXEC));
    std::string bytes;
    if (!fd || fstat(fd.Get(), &info) != 0 || !ReadWhole(fd.Get(), &bytes)) return EmptyProfile();
    bool unicode = false;
    const std::string text = DecodeProfileText(bytes, &unicode);
    auto profile = std::make_shared<const ProfileFile>(ParseProfile(text, unicode, codePage));
    if (!SettledLongEnough(info)) return profile;

    std::lock_guard<std::mutex> guard(cache.lock);
    cache.recent.erase(std::remove_if(cache.recent.begin(), cache.recent.end(),
                                      [&](const CachedProfile &cached) { return cached.hostPath == hostPath; }),
                       cache.recent.end());
    cache.recent.insert(cache.recent.begin(),
                        {hostPath, codePage, info.st_dev, info.st_ino, info.st_size, info.st_mtim, profile});
    if (cache.recent.size() > kCachedFiles) cache.recent.pop_back();
    return profile;
}

}  // namespace sim

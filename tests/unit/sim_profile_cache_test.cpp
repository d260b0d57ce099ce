// Which parsed profile files are kept, and when a kept one is read again.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/sim/profile/profile_cache.h"
#include "sim_files_fixture.h"

namespace {

using sim::ProfileCache;
using sim::ProfileFile;

// Far enough back for the cache to trust the file's stat().
constexpr time_t kLongAgo = 1000000000;

class SimProfileCache : public FilesOnMachine {
protected:
    // "[s]" with k=`value`, padded with a comment to `size` bytes; its
    // modification time `modified` (0: left as written, just now).
    std::string Write(const std::string &name, const std::string &value, std::size_t size = 0,
                      time_t modified = kLongAgo) {
        std::string text = "[s]\r\nk=" + value + "\r\n";
        if (size > text.size() + 3) text += ";" + std::string(size - text.size() - 3, 'x') + "\r\n";
        WriteHostFile(name, text);
        if (modified != 0) SetModified(name, {modified, 0});
        return Host(name);
    }

    void SetModified(const std::string &name, struct timespec modified) {
        const struct timespec times[2] = {modified, modified};
        ASSERT_EQ(utimensat(AT_FDCWD, Host(name).c_str(), times, 0), 0);
    }

    static std::string Value(const std::shared_ptr<const ProfileFile> &file) {
        if (file->Sections().empty()) return "<no sections>";
        ProfileFile::Entries entries = file->EntriesOf(file->Sections()[0]);
        sim::ProfileEntry entry;
        return entries.Next(&entry) ? std::string(entry.value) : "<no entries>";
    }
};

TEST_F(SimProfileCache, SettledFilesAreParsedOnceFreshOnesOnEachRead) {
    ProfileCache cache(16, 64 * 1024);
    const std::string settled = Write("settled.ini", "1");
    const auto first = cache.Load(settled, 1252);
    EXPECT_EQ(cache.Load(settled, 1252), first);
    EXPECT_NE(cache.Load(settled, 932), first);  // another code page, other text
    const std::string fresh = Write("fresh.ini", "2", 0, 0);
    const auto fromFresh = cache.Load(fresh, 1252);
    EXPECT_NE(cache.Load(fresh, 1252), fromFresh);
    EXPECT_EQ(Value(fromFresh), "2");
    EXPECT_EQ(cache.HeldFiles(), 1u);
}

// A coarse clock gives a file written twice within one tick the same
// time, and the same text length gives it the same size: only files older
// than a tick are kept, so the second text is read.
TEST_F(SimProfileCache, FileRewrittenWithinTheSameTickIsReadAgain) {
    ProfileCache cache(16, 64 * 1024);
    const std::string path = Write("test.ini", "1", 0, 0);
    struct stat before;
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    EXPECT_EQ(Value(cache.Load(path, 1252)), "1");
    Write("test.ini", "2", 0, 0);
    SetModified("test.ini", before.st_mtim);
    EXPECT_EQ(Value(cache.Load(path, 1252)), "2");
}

TEST_F(SimProfileCache, ChangedFilesAreParsedAgain) {
    struct Case {
        const char *change;
        std::size_t size;
        time_t modified;
        bool replaced;  // by renaming another file over it
    } cases[] = {
        {"other size, same time", 40, kLongAgo, false},
        {"same size, other time", 0, kLongAgo + 1, false},
        {"same size and time, other inode", 0, kLongAgo, true},
    };
    for (const Case &c : cases) {
        ProfileCache cache(16, 64 * 1024);
        const std::string path = Write("test.ini", "1");
        EXPECT_EQ(Value(cache.Load(path, 1252)), "1");
        if (c.replaced) {
            Write("other.ini", "2", c.size, c.modified);
            ASSERT_EQ(std::rename(Host("other.ini").c_str(), path.c_str()), 0);
        } else {
            Write("test.ini", "2", c.size, c.modified);
        }
        EXPECT_EQ(Value(cache.Load(path, 1252)), "2") << c.change;
        EXPECT_EQ(cache.HeldFiles(), 1u) << c.change;  // the old parse is gone
    }
}

TEST_F(SimProfileCache, KeptFilesMakeRoomForTheFileBeingRead) {
    ProfileCache cache(16, 0);
    const std::string a = Write("a.ini", "a", 10000), b = Write("b.ini", "b", 12000);
    const auto fromA = cache.Load(a, 1252);
    const auto fromB = cache.Load(b, 1252);
    EXPECT_EQ(cache.Load(a, 1252), fromA);  // kept, and now the most recent

    // Room for 10,500 bytes: b, used least recently, goes; a stays.
    cache.Load(Write("c.ini", "c", 10500), 1252);
    EXPECT_EQ(cache.HeldFiles(), 2u);
    EXPECT_EQ(cache.Load(a, 1252), fromA);
    EXPECT_NE(cache.Load(b, 1252), fromB);

    // A large file is read beside the others; a small one after it keeps
    // only itself. Never much more than twice the largest file is held.
    cache.Load(Write("large.ini", "l", 40000), 1252);
    EXPECT_EQ(cache.HeldFiles(), 3u);
    EXPECT_LT(cache.HeldBytes(), 2 * 40000u);
    cache.Load(Write("small.ini", "s", 100), 1252);
    EXPECT_EQ(cache.HeldFiles(), 1u);
    EXPECT_LT(cache.HeldBytes(), 1024u);
}

TEST_F(SimProfileCache, SmallFilesShareTheMinimumRoomUpToTheFileCount) {
    ProfileCache cache(4, 64 * 1024);
    std::shared_ptr<const ProfileFile> loaded[6];
    for (int i = 0; i < 6; ++i) loaded[i] = cache.Load(Write(std::to_string(i) + ".ini", "v", 1000), 1252);
    EXPECT_EQ(cache.HeldFiles(), 4u);
    for (int i = 5; i >= 0; --i)
        EXPECT_EQ(cache.Load(Host(std::to_string(i) + ".ini"), 1252) == loaded[i], i >= 2) << i;
}

TEST_F(SimProfileCache, UnreadableFilesHaveNoSectionsAndAreNotKept) {
    ProfileCache cache(16, 64 * 1024);
    MakeHostFolder("folder.ini");
    for (const char *name : {"missing.ini", "folder.ini"}) {
        EXPECT_TRUE(cache.Load(Host(name), 1252)->Sections().empty()) << name;
        EXPECT_EQ(cache.HeldFiles(), 0u) << name;
    }
}

}  // namespace

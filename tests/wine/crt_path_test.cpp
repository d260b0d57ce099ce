// Splitting paths as the C runtime's _splitpath does, with Shift-JIS
// characters whose second byte is 0x5C ("\") kept whole.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/win32/split_path.h"

namespace {

struct SplitCase {
    unsigned codePage;
    std::string path;
    const char *drive;
    const char *dir;
    const char *fname;
    const char *ext;
};

// 0x95 0x5C is "表" and 0x83 0x5C is "ソ" in code page 932; in 1252 they
// are two characters, the second a backslash.
const SplitCase kSplitCases[] = {
    {1252, "C:\\WINDOWS\\Inf\\OEM0.INF", "C:", "\\WINDOWS\\Inf\\", "OEM0", ".INF"},
    {1252, "SETUP", "", "", "SETUP", ""},
    {1252, "", "", "", "", ""},
    {1252, "D:", "D:", "", "", ""},
    {1252, "C:name.", "C:", "", "name", "."},
    {1252, "dir.d\\name", "", "dir.d\\", "name", ""},
    {1252, "a/b\\c.tar.gz", "", "a/b\\", "c.tar", ".gz"},
    {1252, "\\\\server\\share\\x.inf", "", "\\\\server\\share\\", "x", ".inf"},
    {1252, "C:\\\x95\x5C", "C:", "\\\x95\x5C", "", ""},
    {932, "C:\\\x95\x5C", "C:", "\\", "\x95\x5C", ""},
    {932, "C:\\\x95\x5C\\\x83\x5C.inf", "C:", "\\\x95\x5C\\", "\x83\x5C", ".inf"},
    {932, "\x83\x5C\x83\x5C", "", "", "\x83\x5C\x83\x5C", ""},
    {932, "dir\\abc\x95", "", "dir\\", "abc\x95", ""},
    {932, "\x95\x2E.txt", "", "", "\x95\x2E", ".txt"},
};

TEST(CrtSplitPath, SplitsLikeTheRuntimeAndKeepsDoubleByteCharactersWhole) {
    for (const SplitCase &c : kSplitCases) {
        char drive[win::MAX_DRIVE], dir[win::MAX_DIR], fname[win::MAX_FNAME], ext[win::MAX_EXT];
        win32::SplitPathInCodePage(c.codePage, c.path.c_str(), drive, dir, fname, ext);
        EXPECT_STREQ(drive, c.drive) << c.codePage << " " << c.path;
        EXPECT_STREQ(dir, c.dir) << c.codePage << " " << c.path;
        EXPECT_STREQ(fname, c.fname) << c.codePage << " " << c.path;
        EXPECT_STREQ(ext, c.ext) << c.codePage << " " << c.path;
    }
}

TEST(CrtSplitPath, PartsMayBeLeftOutAndLongPartsAreCut) {
    std::string longName(300, 'n');
    char fname[win::MAX_FNAME];
    win::CrtSplitPath(("C:\\dir\\" + longName + ".inf").c_str(), nullptr, nullptr, fname, nullptr);
    EXPECT_EQ(std::string(fname), std::string(win::MAX_FNAME - 1, 'n'));
}

TEST(CrtFullPath, ResolvesDotsAgainstTheDrive) {
    char full[win::MAX_PATH];
    ASSERT_NE(win::CrtFullPath(full, "C:\\a\\b\\..\\.\\c.inf", win::MAX_PATH), nullptr);
    EXPECT_STREQ(full, "C:\\a\\c.inf");
    EXPECT_EQ(win::CrtFullPath(full, "C:\\a\\c.inf", 5), nullptr) << "too long for the buffer";
}

}  // namespace

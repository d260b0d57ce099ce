#include <string>
#include <vector>

#include "platform/system.h"
#include "sim_files_fixture.h"

namespace {

using namespace win;

class SimFindFiles : public FilesOnMachine {
protected:
    // The names FindFirstFileA/FindNextFileA give for `pattern`, or the
    // error of FindFirstFileA as "error N".
    std::vector<std::string> Find(const char *pattern) {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(pattern, &data);
        if (find == INVALID_HANDLE_VALUE) return {"error " + std::to_string(GetLastError())};
        std::vector<std::string> names;
        do names.push_back(data.cFileName);
        while (FindNextFileA(find, &data));
        EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
        EXPECT_TRUE(FindClose(find));
        return names;
    }
};

TEST_F(SimFindFiles, ListsInNtfsOrderWithDotsOutsideTheRoot) {
    for (const char *name : {"b.txt", "A.txt", "_x", "Zeta", "a b.txt"}) WriteHostFile(std::string("List/") + name, "x");
    MakeHostFolder("List/sub");
    const std::vector<std::string> expected = {".", "..", "a b.txt", "A.txt", "b.txt", "sub", "Zeta", "_x"};
    EXPECT_EQ(Find("C:\\List\\*"), expected);
    EXPECT_EQ(Find("c:/list/*.*"), expected);
    EXPECT_EQ(Find("C:\\List\\*.txt"), (std::vector<std::string>{"a b.txt", "A.txt", "b.txt"}));
    EXPECT_EQ(Find("C:\\List\\*."), (std::vector<std::string>{".", "..", "sub", "Zeta", "_x"}));
    const std::vector<std::string> root = Find("C:\\*");
    ASSERT_FALSE(root.empty());
    EXPECT_NE(root.front(), ".");
}

TEST_F(SimFindFiles, FailsWithWindowsErrors) {
    WriteHostFile("Err/file.txt", "x");
    const struct {
        const char *pattern;
        DWORD error;
    } cases[] = {
        {"C:\\Err\\*.zzz", ERROR_FILE_NOT_FOUND},  {"C:\\Err\\", ERROR_FILE_NOT_FOUND},
        {"C:\\NoSuch\\*", ERROR_PATH_NOT_FOUND},   {"C:\\NoSuch\\Deeper\\*", ERROR_PATH_NOT_FOUND},
        {"", ERROR_PATH_NOT_FOUND},                {"C:\\Err\\file.txt\\*", 267},
        {"Q:\\*", ERROR_PATH_NOT_FOUND},           {"\\\\server\\share\\*", 53},
    };
    for (const auto &c : cases) {
        WIN32_FIND_DATAA data;
        SetLastError(0);
        EXPECT_EQ(FindFirstFileA(c.pattern, &data), INVALID_HANDLE_VALUE) << c.pattern;
        EXPECT_EQ(GetLastError(), c.error) << c.pattern;
    }
}

// A folder named by its 8.3 alias, as the 95 family's DevicePath names the
// driver folder, lists and opens like its long name, in any process.
TEST_F(SimFindFiles, ListsAndOpensThroughAShortFolderName) {
    WriteHostFile("My Drivers/Printer.inf", "x");
    EXPECT_EQ(Find("C:\\MYDRIV~1\\*.inf"), (std::vector<std::string>{"Printer.inf"}));
    EXPECT_EQ(GetFileAttributesA("C:\\mydriv~1\\printer.inf"), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(GetFileAttributesA("C:\\MYDRIV~2\\Printer.inf"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SimFindFiles, MatchesThroughTheShortNameAndFillsTheRecord) {
    WriteHostFile("Short/setup.info", "12345");
    WriteHostFile("Short/plain.inf", "");
    EXPECT_EQ(Find("C:\\Short\\*.inf"), (std::vector<std::string>{"plain.inf", "setup.info"}));

    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA("C:\\SHORT\\SETUP.INFO", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "setup.info");
    EXPECT_STREQ(data.cAlternateFileName, "SETUP~1.INF");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
    EXPECT_TRUE(FindClose(find));
    EXPECT_FALSE(FindClose(find));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    find = FindFirstFileA("C:\\Short\\plain.inf", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cAlternateFileName, "");
    FindClose(find);
    find = FindFirstFileA("C:\\Sho?t", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    FindClose(find);
}

TEST_F(SimFindFiles, SearchesRelativeToTheCurrentDirectory) {
    WriteHostFile("Rel/one.inf", "");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Rel"));
    EXPECT_EQ(Find("*.inf"), std::vector<std::string>{"one.inf"});
    EXPECT_EQ(Find("C:*.inf"), std::vector<std::string>{"one.inf"});
    EXPECT_EQ(Find("..\\Rel\\o*"), std::vector<std::string>{"one.inf"});
}

}  // namespace

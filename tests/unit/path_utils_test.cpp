#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "lang/path_utils.h"
#include "support/machine_fixture.h"
#include "unit/lang_test_files.h"

namespace {

class PathUtilsTest : public ::testing::Test {
protected:
    void UseMachine() { m_machine.Use(); }
    std::string HostC(const std::string &relative) const {
        return m_machine.HostPath("drive_c/" + relative);
    }
    testing_machine::MachineFolder m_machine;
};

struct SplitCase {
    const char *path;
    int selector;
    const char *expected;
};

TEST_F(PathUtilsTest, SplitPathPutsTogetherThePartsEachSelectorNames) {
    UseMachine();
    const SplitCase cases[] = {
        {"C:\\Tools\\Setup\\SETUP.EXE", kSplitDriveFolder, "C:\\Tools\\Setup"},
        {"C:\\Tools\\Setup\\SETUP.EXE", kSplitDriveFolderSlash, "C:\\Tools\\Setup\\"},
        {"C:\\Tools\\Setup\\SETUP.EXE", kSplitNameExt, "SETUP.EXE"},
        {"C:\\Tools\\Setup\\SETUP.EXE", kSplitDrive, "C:"},
        {"C:\\Tools\\Setup\\SETUP.EXE", kSplitFolder, "\\Tools\\Setup"},
        {"C:\\Tools\\Setup\\SETUP.EXE", kSplitFolderSlash, "\\Tools\\Setup\\"},
        {"C:\\Tools\\Setup\\SETUP.EXE", kSplitName, "SETUP"},
        {"C:\\Tools\\Setup\\SETUP.EXE", kSplitExt, ".EXE"},
        {"C:\\Tools\\Setup\\SETUP.EXE", kSplitNoExt, "C:\\Tools\\Setup\\SETUP"},
        {"C:\\Tools\\Setup\\SETUP.EXE", 7, ""},
        {"C:\\Tools\\Setup\\SETUP.EXE", -1, ""},
        // A root folder keeps its backslash only beside the drive.
        {"C:\\SETUP.EXE", kSplitDriveFolder, "C:\\"},
        {"C:\\SETUP.EXE", kSplitDriveFolderSlash, "C:\\"},
        {"C:\\SETUP.EXE", kSplitFolder, ""},
        {"C:\\SETUP.EXE", kSplitFolderSlash, "\\"},
        {"\\SETUP.EXE", kSplitDriveFolder, "\\"},
        {"C:/SETUP.EXE", kSplitDriveFolder, "C:"},
        {"/SETUP.EXE", kSplitDriveFolder, ""},
        {"SETUP.EXE", kSplitDriveFolder, ""},
        {"SETUP.EXE", kSplitDriveFolderSlash, ""},
        {"C:SETUP.EXE", kSplitDriveFolder, "C:"},
        {"C:SETUP.EXE", kSplitNameExt, "SETUP.EXE"},
        // The extension starts at the last dot after the folder.
        {"C:\\Drivers.2008\\SETUP", kSplitExt, ""},
        {"C:\\Drivers.2008\\SETUP", kSplitName, "SETUP"},
        {"C:\\a\\archive.tar.gz", kSplitExt, ".gz"},
        {"C:\\a\\archive.tar.gz", kSplitNoExt, "C:\\a\\archive.tar"},
        {"C:/Tools/Setup/SETUP.EXE", kSplitDriveFolder, "C:/Tools/Setup"},
        {"\\\\server\\share\\SETUP.EXE", kSplitDriveFolder, "\\\\server\\share"},
        {"", kSplitDriveFolderSlash, ""},
    };
    for (const SplitCase &c : cases) {
        CString out = "stale";
        SplitPath(c.path, c.selector, out);
        EXPECT_EQ(out, c.expected) << c.path << " selector " << c.selector;
    }
}

TEST_F(PathUtilsTest, SplitPathCutsPartsLongerThanTheirBuffers) {
    UseMachine();
    const std::string longName(300, 'n');
    CString out;
    SplitPath(("C:\\" + longName + ".inf").c_str(), kSplitName, out);
    EXPECT_EQ(out, std::string(255, 'n'));
}

TEST_F(PathUtilsTest, SplitPathTakesNoTrailByteForASeparator) {
    m_machine.SetIni("System", "AnsiCodePage", "932");
    UseMachine();
    // Code page 932: "\x95\x5c" is 表, "\x83\x5c" is ソ; their second byte
    // is the code of "\".
    const std::string path = "C:\\\x95\x5c\\\x83\x5c.EXE";
    const SplitCase cases[] = {
        {path.c_str(), kSplitDriveFolder, "C:\\\x95\x5c"},
        {path.c_str(), kSplitFolderSlash, "\\\x95\x5c\\"},
        {path.c_str(), kSplitNameExt, "\x83\x5c.EXE"},
        {path.c_str(), kSplitName, "\x83\x5c"},
        {"C:\\Setup\\\x83\x5c", kSplitNameExt, "\x83\x5c"},
        {"C:\\Setup\\\x83\x5c", kSplitDriveFolder, "C:\\Setup"},
    };
    for (const SplitCase &c : cases) {
        CString out;
        SplitPath(c.path, c.selector, out);
        EXPECT_EQ(out, c.expected) << c.path << " selector " << c.selector;
    }
}

struct FullPathCase {
    const char *base;
    const char *path;
    BOOL result;
    const char *expected;  // the out text; "unchanged" on failure
};

TEST_F(PathUtilsTest, MakeFullPathResolvesAgainstTheBaseFolder) {
    MakeHostFolder(HostC("Setup/PS"));
    MakeHostFolder(HostC("Work"));
    UseMachine();
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Work"));
    const std::string tooLong = "C:\\" + std::string(300, 'x');
    const FullPathCase cases[] = {
        {"C:\\Setup\\", "..\\Drivers", TRUE, "C:\\Drivers"},
        {"C:\\Setup\\", "", TRUE, "C:\\Setup"},
        {"C:\\Setup\\", "PS", TRUE, "C:\\Setup\\PS"},
        {"C:\\Setup\\", ".\\A\\.\\B\\..\\C\\", TRUE, "C:\\Setup\\A\\C\\"},
        {"C:\\Setup\\", "\\Drv", TRUE, "C:\\Drv"},
        {"C:\\Setup\\", "E:\\Drv\\..\\PS", TRUE, "E:\\PS"},
        {"C:\\Setup\\", "E:\\Drv", TRUE, "E:\\Drv"},
        {"C:\\Setup\\", "C:/Drv", FALSE, "unchanged"},
        {"C:\\Setup\\", "D:Drivers", FALSE, "unchanged"},
        {"C:\\Setup\\", "PS:x", FALSE, "unchanged"},
        {"C:\\Setup\\", "\\\\server\\share\\PS", TRUE, "\\\\server\\share\\PS"},
        {"C:\\Setup\\", tooLong.c_str(), FALSE, "unchanged"},
        {"C:\\NoSuchFolder\\", "PS", FALSE, "unchanged"},
        {"", "PS", TRUE, "C:\\Work\\PS"},
        {nullptr, "..\\PS", TRUE, "C:\\PS"},
    };
    for (const FullPathCase &c : cases) {
        CString out = "unchanged";
        EXPECT_EQ(MakeFullPath(c.base, c.path, out), c.result) << c.path;
        EXPECT_EQ(out, c.expected) << c.path;
        char current[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, current);
        EXPECT_STREQ(current, "C:\\Work") << "current directory after " << c.path;
    }
}

TEST_F(PathUtilsTest, FindFilesRecursiveListsMatchesBeforeSubfoldersDepthFirst) {
    for (const char *file : {"Pkg/b.inf", "Pkg/A.INF", "Pkg/c.txt", "Pkg/Extra.inf/x.inf",
                             "Pkg/sub/d.inf", "Pkg/sub/deep/e.inf", "Pkg/sub/deep/e.txt",
                             "Pkg/zz/f.INF", "Pkg/zz/OEM1.inf", "Pkg/OEM12.INF"})
        WriteHostFile(HostC(file), "x");
    MakeHostFolder(HostC("Pkg/empty"));
    UseMachine();

    const CStringList allInf = {
        "C:\\Pkg\\A.INF",        "C:\\Pkg\\b.inf",       "C:\\Pkg\\Extra.inf",
        "C:\\Pkg\\OEM12.INF",    "C:\\Pkg\\Extra.inf\\x.inf", "C:\\Pkg\\sub\\d.inf",
        "C:\\Pkg\\sub\\deep\\e.inf", "C:\\Pkg\\zz\\f.INF",  "C:\\Pkg\\zz\\OEM1.inf",
    };
    for (const char *folder : {"C:\\Pkg", "C:\\Pkg\\"}) {
        CStringList list = {"kept"};
        FindFilesRecursive(folder, "*.inf", list);
        CStringList expected = {"kept"};
        expected.insert(expected.end(), allInf.begin(), allInf.end());
        EXPECT_EQ(list, expected) << folder;
    }

    CStringList oem;
    FindFilesRecursive("C:\\Pkg", "OEM*.inf", oem);
    EXPECT_EQ(oem, (CStringList{"C:\\Pkg\\OEM12.INF", "C:\\Pkg\\zz\\OEM1.inf"}));
}

// A link to a folder is a reparse point: listed when it matches, never
// entered, so a tree that loops through one ends.
TEST_F(PathUtilsTest, FindFilesRecursiveDoesNotEnterLinks) {
    WriteHostFile(HostC("Loop/a.inf"), "x");
    WriteHostFile(HostC("Elsewhere/b.inf"), "x");
    std::filesystem::create_directory_symlink(HostC("Loop"), HostC("Loop/again.inf"));
    std::filesystem::create_directory_symlink(HostC("Elsewhere"), HostC("Loop/other"));
    UseMachine();
    EXPECT_NE(GetFileAttributesA("C:\\Loop\\other") & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_EQ(GetFileAttributesA("C:\\Elsewhere") & FILE_ATTRIBUTE_REPARSE_POINT, 0u);

    CStringList list;
    FindFilesRecursive("C:\\Loop", "*.inf", list);
    EXPECT_EQ(list, (CStringList{"C:\\Loop\\a.inf", "C:\\Loop\\again.inf"}));
}

TEST_F(PathUtilsTest, FindFilesRecursiveAddsNothingForAMissingFolder) {
    UseMachine();
    CStringList list = {"kept"};
    FindFilesRecursive("C:\\NoSuchFolder", "*.inf", list);
    FindFilesRecursive("Q:\\", "*.inf", list);
    EXPECT_EQ(list, CStringList{"kept"});
}

struct ProfileCase {
    std::string section;
    std::string key;
    BOOL result;
    std::string value;
    int found;
};

TEST_F(PathUtilsTest, ReadProfileStringReportsValueAndPresence) {
    const std::string long200(200, 'L');
    std::string ini = "[Version]\r\n"
                      "Class=Printer\r\n"
                      "Empty=\r\n"
                      "Marker=nokey\r\n"
                      "Upper=NOKEY\r\n"
                      "Quoted=\"abcdefghijklm\"\r\n"
                      "Long=" + long200 + "\r\n";
    std::vector<ProfileCase> cases = {
        {"Version", "Class", TRUE, "Printer", 1},
        {"version", "CLASS", TRUE, "Printer", 1},
        {"Version", "Empty", FALSE, "", 1},
        {"Version", "Marker", FALSE, "", 0},
        {"Version", "Upper", FALSE, "", 0},
        {"Version", "Missing", FALSE, "", 0},
        {"Strings", "Class", FALSE, "", 0},
        {"Version", "Quoted", TRUE, "abcdefghijklm", 1},
        {"Version", "Long", TRUE, long200, 1},
    };
    // Values around the lengths where the buffer grows (16, 32).
    for (int length : {13, 14, 15, 16, 17, 30, 31, 32, 33}) {
        const std::string key = "V" + std::to_string(length);
        const std::string value(length, 'v');
        ini += key + "=" + value + "\r\n";
        cases.push_back({"Version", key, TRUE, value, 1});
    }
    WriteHostFile(HostC("Drv/TEST.INF"), ini);
    UseMachine();

    for (const ProfileCase &c : cases) {
        CString out = "stale";
        int found = -1;
        EXPECT_EQ(ReadProfileString("C:\\Drv\\TEST.INF", c.section.c_str(), c.key.c_str(), out,
                                    found),
                  c.result)
            << c.key;
        EXPECT_EQ(out, c.value) << c.key;
        EXPECT_EQ(found, c.found) << c.key;
    }

    CString out;
    int found = -1;
    EXPECT_FALSE(ReadProfileString("C:\\Drv\\MISSING.INF", "Version", "Class", out, found));
    EXPECT_EQ(found, 0);
}

TEST_F(PathUtilsTest, ReadProfileNamesAppendsSectionOrKeyNamesInFileOrder) {
    std::string many;
    CStringList manyNames;
    for (int i = 0; i < 40; ++i) {
        manyNames.push_back("Section" + std::to_string(i));
        many += "[" + manyNames.back() + "]\r\nk=v\r\n";
    }
    WriteHostFile(HostC("Ini/LANGS.INI"),
                  "[ENGLISH]\r\nOmittedName=ENG\r\nLangID=0x0409\r\n"
                  "[Precondition]\r\n[JAPANESE]\r\nOmittedName=JPN\r\nLangID=0x0411\r\n");
    WriteHostFile(HostC("Ini/EMPTY.INI"), "");
    WriteHostFile(HostC("Ini/MANY.INI"), many);
    UseMachine();

    struct NamesCase {
        const char *file;
        const char *section;
        CStringList expected;
    };
    const NamesCase cases[] = {
        {"C:\\Ini\\LANGS.INI", nullptr, {"kept", "ENGLISH", "Precondition", "JAPANESE"}},
        {"C:\\Ini\\LANGS.INI", "japanese", {"kept", "OmittedName", "LangID"}},
        {"C:\\Ini\\LANGS.INI", "Precondition", {"kept", ""}},
        {"C:\\Ini\\LANGS.INI", "Missing", {"kept", ""}},
        {"C:\\Ini\\EMPTY.INI", nullptr, {"kept", ""}},
        {"C:\\Ini\\MISSING.INI", nullptr, {"kept", ""}},
    };
    for (const NamesCase &c : cases) {
        CStringList list = {"kept"};
        EXPECT_TRUE(ReadProfileNames(c.file, c.section, list));
        EXPECT_EQ(list, c.expected) << c.file << " " << (c.section ? c.section : "(sections)");
    }

    CStringList list;
    ReadProfileNames("C:\\Ini\\MANY.INI", nullptr, list);
    EXPECT_EQ(list, manyNames);
}

TEST_F(PathUtilsTest, GetWindowsFolderDropsTheLastElementOfTheSystemFolder) {
    struct WindowsCase {
        const char *codePage;
        const char *systemDirectory;
        const char *expected;
    };
    const WindowsCase cases[] = {
        {"1252", "C:\\WINDOWS\\system32", "C:\\WINDOWS"},
        {"1252", "C:\\WINNT\\System32", "C:\\WINNT"},
        {"932", "C:\\WINNT\\\x83\x5c", "C:\\WINNT"},
        {"932", "C:\\\x95\x5c\\system32", "C:\\\x95\x5c"},
    };
    for (const WindowsCase &c : cases) {
        testing_machine::MachineFolder machine;
        machine.SetIni("System", "AnsiCodePage", c.codePage);
        machine.SetIni("System", "SystemDirectory", c.systemDirectory);
        machine.Use();
        char buffer[MAX_PATH];
        std::memset(buffer, 'x', sizeof buffer);
        GetWindowsFolder(buffer, MAX_PATH);
        EXPECT_STREQ(buffer, c.expected) << c.systemDirectory;
    }
}

}  // namespace

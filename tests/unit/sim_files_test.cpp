#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "locking_process.h"
#include "platform/sim/files/paths.h"
#include "platform/sim/files/short_names.h"
#include "platform/sim/setupapi/setupapi_engine.h"
#include "platform/system.h"
#include "sim_files_fixture.h"

namespace {

using namespace win;

// Whether another process could take a shared flock on the file now.
bool OthersMayOpen(const std::string &hostPath) {
    const pid_t child = fork();
    if (child == 0) {
        const int fd = open(hostPath.c_str(), O_RDONLY);
        _exit(fd >= 0 && flock(fd, LOCK_SH | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool HostKeepsUserAttributes(const std::string &hostPath) {
    return setxattr(hostPath.c_str(), "user.mirtel.probe", "1", 1, 0) == 0;
}

using SimFiles = FilesOnMachine;

TEST_F(SimFiles, HostPathMatchesExistingElementsWithoutRegardToCase) {
    WriteHostFile("WINDOWS/Inf/OEM1.INF", "");
    DWORD error = 0;
    EXPECT_EQ(sim::HostPathOrError("c:\\windows\\INF\\oem1.inf", &error), Host("WINDOWS/Inf/OEM1.INF"));
    EXPECT_EQ(sim::HostPath("C:/Windows//inf/./New/../NewDir/File.TXT"), Host("WINDOWS/Inf/NewDir/File.TXT"));
    EXPECT_EQ(sim::HostPath("Z:\\usr\\bin"), "/usr/bin");
    EXPECT_EQ(sim::HostPath("\\\\?\\C:\\windows\\inf"), Host("WINDOWS/Inf"));
    EXPECT_EQ(sim::HostPathOrError("Q:\\x", &error), "");
    EXPECT_EQ(error, ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(sim::HostPathOrError("\\\\server\\share\\x", &error), "");
    EXPECT_EQ(error, 53u);
    EXPECT_EQ(sim::HostPathOrError("C:\\a|b", &error), "");
    EXPECT_EQ(error, ERROR_INVALID_NAME);
}

TEST_F(SimFiles, WindowsPathTakesTheLongestDriveMapping) {
    m_machine.SetIni("Drives", "D", m_machine.HostPath("drive_c/Package"));
    m_machine.Use();
    EXPECT_EQ(sim::WindowsPath(Host("WINDOWS/system32")), "C:\\WINDOWS\\system32");
    EXPECT_EQ(sim::WindowsPath(Host("Package/setup")), "D:\\setup");
    EXPECT_EQ(sim::WindowsPath(Host("Package")), "D:\\");
    EXPECT_EQ(sim::WindowsPath("/usr/bin/../lib"), "Z:\\usr\\lib");
}

TEST_F(SimFiles, CurrentDirectoryKeepsTheCaseGivenAndRefusesNonFolders) {
    MakeHostFolder("Setup/Sub");
    WriteHostFile("Setup/file.txt", "");
    ASSERT_TRUE(SetCurrentDirectoryA("c:\\setup\\SUB\\"));
    char buffer[MAX_PATH];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 12u);
    EXPECT_STREQ(buffer, "c:\\setup\\SUB");
    EXPECT_EQ(GetCurrentDirectoryA(12, buffer), 13u);
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), 13u);
    EXPECT_FALSE(SetCurrentDirectoryA("C:\\Setup\\file.txt"));
    EXPECT_EQ(GetLastError(), 267u);
    EXPECT_FALSE(SetCurrentDirectoryA("C:\\Setup\\Missing"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(SetCurrentDirectoryA("C:\\Missing\\Deeper"));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    ASSERT_TRUE(SetCurrentDirectoryA(".."));
    GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_STREQ(buffer, "c:\\setup");
}

TEST_F(SimFiles, ShortNamesNumberSiblingsThatShareAPrefix) {
    const struct {
        std::vector<std::string> names;
        std::vector<std::string> shortNames;
    } cases[] = {
        {{"Program Files", "Program Data", "readme.txt"}, {"PROGRA~1", "PROGRA~2", ""}},
        {{"Long Name Document 2.docx", "Long Name Document.docx"}, {"LONGNA~1.DOC", "LONGNA~2.DOC"}},
        {{"a b.txt", ".profile", "x+y.txt", "abc.html", "a.b.c", "ABCDEFGHI"},
         {"AB~1.TXT", "PROFIL~1", "X_Y~1.TXT", "ABC~1.HTM", "AB~1.C", "ABCDEF~1"}},
        {{"progra~1", "Program Files"}, {"", "PROGRA~2"}},
        {{"caf\xc3\xa9 menu.txt"}, {"CAF_ME~1.TXT"}},
    };
    for (const auto &c : cases) EXPECT_EQ(sim::ShortNames(c.names), c.shortNames) << c.names.front();
    std::vector<std::string> many;
    for (int i = 0; i < 10; ++i) many.push_back("Long file " + std::to_string(i) + ".txt");
    EXPECT_EQ(sim::ShortNames(many).back(), "LONGF~10.TXT");
}

TEST_F(SimFiles, ShortPathReplacesOnlyLongElements) {
    WriteHostFile("Program Files/Long Name.txt", "");
    MakeHostFolder("tools");
    char buffer[MAX_PATH];
    EXPECT_EQ(GetShortPathNameA("c:\\program files\\long name.TXT", buffer, sizeof buffer), 24u);
    EXPECT_STREQ(buffer, "c:\\PROGRA~1\\LONGNA~1.TXT");
    EXPECT_EQ(GetShortPathNameA("C:/tools", buffer, sizeof buffer), 8u);
    EXPECT_STREQ(buffer, "C:/tools");
    EXPECT_EQ(GetShortPathNameA("C:\\Program Files", buffer, 8), 12u);
    EXPECT_EQ(GetShortPathNameA("C:\\Program Files", nullptr, 0), 12u);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    EXPECT_EQ(GetShortPathNameA("Program Files\\..\\tools", buffer, sizeof buffer), 17u);
    EXPECT_STREQ(buffer, "PROGRA~1\\..\\tools");
    EXPECT_EQ(GetShortPathNameA("C:\\Program Files\\missing.txt", buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetShortPathNameA("C:\\Missing\\x.txt", buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(SimFiles, ShortNamesOpenListAndResolveLikeTheLongNames) {
    WriteHostFile("Long Folder/T95.INF", "[Version]\r\nSignature=\"$Chicago$\"\r\n");
    WriteHostFile("Long Folder/Long Name.txt", "text");
    EXPECT_EQ(sim::HostPath("C:\\longfo~1\\LONGNA~1.TXT"), Host("Long Folder/Long Name.txt"));
    EXPECT_NE(GetFileAttributesA("C:\\LONGFO~1\\T95.INF"), INVALID_FILE_ATTRIBUTES);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("C:\\LONGFO~1\\*.INF", &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(found.cFileName, "T95.INF");
    FindClose(search);
    UINT errorLine = 0;
    sim::setupapi::SetupApiEngine &engine = sim::setupapi::SetupApiEngine::OfMachine();
    HINF inf = engine.OpenInfFile("C:\\LONGFO~1\\T95.INF", nullptr, INF_STYLE_WIN4, &errorLine);
    ASSERT_NE(inf, INVALID_HANDLE_VALUE) << GetLastError();
    engine.CloseInfFile(inf);
    // A name with a "~" that is no entry's short name names nothing.
    EXPECT_EQ(GetFileAttributesA("C:\\LONGFO~2\\T95.INF"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SimFiles, ReadOnlyIsTheOwnerWriteBitAndHoldsEvenForRoot) {
    WriteHostFile("Attr/file.txt", "old");
    WriteHostFile("Attr/source.txt", "new");
    MakeHostFolder("Attr/folder");
    EXPECT_EQ(GetFileAttributesA("C:\\Attr\\file.txt"), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(GetFileAttributesA("C:\\Attr\\folder"), FILE_ATTRIBUTE_DIRECTORY);
    ASSERT_TRUE(SetFileAttributesA("C:\\Attr\\file.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    struct stat info;
    ASSERT_EQ(stat(Host("Attr/file.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & S_IWUSR, 0u);
    EXPECT_EQ(GetFileAttributesA("C:\\Attr\\file.txt"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);

    EXPECT_FALSE(DeleteFileA("C:\\Attr\\file.txt"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(CopyFileA("C:\\Attr\\source.txt", "C:\\Attr\\file.txt", FALSE));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadHostFile("Attr/file.txt"), "old");
    OFSTRUCT info2;
    EXPECT_EQ(OpenFile("C:\\Attr\\file.txt", &info2, OF_READWRITE), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(OpenStdioFile("C:\\Attr\\file.txt", "w"), nullptr);

    // A copy is read-only exactly when its source is.
    ASSERT_TRUE(CopyFileA("C:\\Attr\\file.txt", "C:\\Attr\\copy-ro.txt", TRUE));
    EXPECT_EQ(GetFileAttributesA("C:\\Attr\\copy-ro.txt") & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(CopyFileA("C:\\Attr\\source.txt", "C:\\Attr\\copy.txt", TRUE));
    EXPECT_EQ(GetFileAttributesA("C:\\Attr\\copy.txt") & FILE_ATTRIBUTE_READONLY, 0u);

    ASSERT_TRUE(SetFileAttributesA("C:\\Attr\\file.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileA("C:\\Attr\\file.txt"));
}

TEST_F(SimFiles, HiddenAndSystemLiveInAnExtendedAttribute) {
    WriteHostFile("Hidden/file.txt", "");
    if (!HostKeepsUserAttributes(Host("Hidden/file.txt"))) GTEST_SKIP() << "no user extended attributes here";
    ASSERT_TRUE(SetFileAttributesA("C:\\Hidden\\file.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(GetFileAttributesA("C:\\Hidden\\file.txt"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(CopyFileA("C:\\Hidden\\file.txt", "C:\\Hidden\\copy.txt", TRUE));
    EXPECT_EQ(GetFileAttributesA("C:\\Hidden\\copy.txt"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(SetFileAttributesA("C:\\Hidden\\file.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesA("C:\\Hidden\\file.txt"), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(SetFileAttributesA("C:\\Hidden", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributesA("C:\\Hidden"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(CopyFileA("C:\\Hidden\\file.txt", "C:\\Hidden\\more.txt", TRUE));  // only advisory on a folder
}

TEST_F(SimFiles, DeleteCopyAndCreateFolderGiveWindowsErrors) {
    WriteHostFile("Ops/a.txt", "contents");
    MakeHostFolder("Ops/folder");
    const struct {
        const char *what;
        std::function<BOOL()> call;
        DWORD error;
    } cases[] = {
        {"delete folder", [] { return DeleteFileA("C:\\Ops\\folder"); }, ERROR_ACCESS_DENIED},
        {"delete missing", [] { return DeleteFileA("C:\\Ops\\missing.txt"); }, ERROR_FILE_NOT_FOUND},
        {"delete in missing folder", [] { return DeleteFileA("C:\\Ops\\none\\x.txt"); }, ERROR_PATH_NOT_FOUND},
        {"delete under a file", [] { return DeleteFileA("C:\\Ops\\a.txt\\"); }, ERROR_PATH_NOT_FOUND},
        {"copy onto existing", [] { return CopyFileA("C:\\Ops\\a.txt", "C:\\Ops\\a.txt", TRUE); },
         ERROR_FILE_EXISTS},
        {"copy onto itself", [] { return CopyFileA("C:\\Ops\\a.txt", "C:\\OPS\\A.TXT", FALSE); },
         ERROR_SHARING_VIOLATION},
        {"copy a folder", [] { return CopyFileA("C:\\Ops\\folder", "C:\\Ops\\b.txt", FALSE); },
         ERROR_ACCESS_DENIED},
        {"copy onto a folder", [] { return CopyFileA("C:\\Ops\\a.txt", "C:\\Ops\\folder", FALSE); },
         ERROR_ACCESS_DENIED},
        {"copy missing", [] { return CopyFileA("C:\\Ops\\missing.txt", "C:\\Ops\\b.txt", FALSE); },
         ERROR_FILE_NOT_FOUND},
        {"copy into missing folder", [] { return CopyFileA("C:\\Ops\\a.txt", "C:\\Ops\\none\\b.txt", FALSE); },
         ERROR_PATH_NOT_FOUND},
        {"folder exists", [] { return CreateDirectoryA("C:\\Ops\\folder", nullptr); }, ERROR_ALREADY_EXISTS},
        {"folder over a file", [] { return CreateDirectoryA("C:\\Ops\\a.txt", nullptr); }, ERROR_ALREADY_EXISTS},
        {"folder in missing folder", [] { return CreateDirectoryA("C:\\Ops\\none\\new", nullptr); },
         ERROR_PATH_NOT_FOUND},
    };
    for (const auto &c : cases) {
        SetLastError(0);
        EXPECT_FALSE(c.call()) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }

    EXPECT_TRUE(CopyFileA("c:\\ops\\A.TXT", "C:\\Ops\\folder\\b.txt", TRUE));
    EXPECT_EQ(ReadHostFile("Ops/folder/b.txt"), "contents");
    WriteHostFile("Ops/c.txt", "other");
    EXPECT_TRUE(CopyFileA("C:\\Ops\\c.txt", "C:\\Ops\\folder\\b.txt", FALSE));
    EXPECT_EQ(ReadHostFile("Ops/folder/b.txt"), "other");
    EXPECT_TRUE(CreateDirectoryA("C:\\Ops\\New Folder\\", nullptr));
    EXPECT_EQ(GetFileAttributesA("C:\\Ops\\new folder"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(DeleteFileA("C:\\OPS\\A.txt"));
    EXPECT_EQ(GetFileAttributesA("C:\\Ops\\a.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(SimFiles, FileHeldOpenElsewhereIsASharingViolation) {
    WriteHostFile("WINDOWS/system32/NTPRINT.DLL", "dll");
    const char *path = "C:\\WINDOWS\\system32\\ntprint.dll";
    OFSTRUCT info;
    {
        LockingProcess held(Host("WINDOWS/system32/NTPRINT.DLL"));
        ASSERT_TRUE(held.Locked());
        SetLastError(0);
        EXPECT_EQ(OpenFile(path, &info, OF_READWRITE | OF_SHARE_EXCLUSIVE), HFILE_ERROR);
        EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
        EXPECT_EQ(info.nErrCode, ERROR_SHARING_VIOLATION);
        EXPECT_FALSE(DeleteFileA(path));
        EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    }
    const HFILE file = OpenFile(path, &info, OF_READWRITE | OF_SHARE_EXCLUSIVE);
    ASSERT_NE(file, HFILE_ERROR);
    EXPECT_EQ(info.cBytes, sizeof info);
    EXPECT_STREQ(info.szPathName, path);
    EXPECT_FALSE(OthersMayOpen(Host("WINDOWS/system32/NTPRINT.DLL")));
    EXPECT_TRUE(CloseFileHandle(file));
    EXPECT_TRUE(OthersMayOpen(Host("WINDOWS/system32/NTPRINT.DLL")));
    EXPECT_FALSE(CloseFileHandle(file));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(SimFiles, OpenFileExistenceAndMissingFiles) {
    WriteHostFile("WINDOWS/win.ini", "");
    OFSTRUCT info;
    EXPECT_EQ(OpenFile("C:\\WINDOWS\\WIN.INI", &info, OF_EXIST), 1);
    EXPECT_EQ(OpenFile("win.ini", &info, OF_EXIST), 1);  // a bare name is searched for
    EXPECT_STREQ(info.szPathName, "C:\\WINDOWS\\win.ini");
    const struct {
        const char *path;
        DWORD error;
    } cases[] = {
        {"C:\\WINDOWS\\missing.dll", ERROR_FILE_NOT_FOUND},
        {"C:\\Missing\\x.dll", ERROR_PATH_NOT_FOUND},
        {"", ERROR_FILE_NOT_FOUND},
        {"C:\\WINDOWS", ERROR_ACCESS_DENIED},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(OpenFile(c.path, &info, OF_READWRITE | OF_SHARE_EXCLUSIVE), HFILE_ERROR) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
        EXPECT_EQ(info.nErrCode, c.error) << c.path;
    }
}

}  // namespace

#include <cerrno>
#include <cstdio>
#include <string>

#include "sim_files_fixture.h"

namespace {

using namespace win;

std::string ReadAll(std::FILE *file) {
    std::string text;
    char buffer[1000];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    return text;
}

std::string ReadWith(const char *path, const char *mode) {
    std::FILE *file = OpenStdioFile(path, mode);
    if (file == nullptr) return "<cannot open>";
    const std::string text = ReadAll(file);
    std::fclose(file);
    return text;
}

using SimStdio = FilesOnMachine;

TEST_F(SimStdio, TextModeWritesCrLfAndBinaryWritesBytes) {
    const struct {
        const char *mode;
        const char *bytes;
    } cases[] = {{"w", "a\r\nb\r\n\r\n"}, {"wt", "a\r\nb\r\n\r\n"}, {"wb", "a\nb\n\n"}, {"w+b", "a\nb\n\n"}};
    for (const auto &c : cases) {
        std::FILE *file = OpenStdioFile("c:\\stdio.txt", c.mode);
        ASSERT_NE(file, nullptr) << c.mode;
        std::fputs("a\nb\n\n", file);
        std::fclose(file);
        EXPECT_EQ(ReadHostFile("stdio.txt"), c.bytes) << c.mode;
    }
    std::FILE *file = OpenStdioFile("C:\\STDIO.TXT", "a");
    ASSERT_NE(file, nullptr);
    std::fputs("c\n", file);
    std::fclose(file);
    EXPECT_EQ(ReadHostFile("stdio.txt"), "a\nb\n\nc\r\n");
}

TEST_F(SimStdio, TextModeReadsCrLfAsNewLineAndStopsAtCtrlZ) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"a\r\nb\rc\r\n", "a\nb\rc\n"},
        {"ab\x1a" "cd\r\n", "ab"},
        {"\r", "\r"},
        {"\r\r\n", "\r\n"},
        {std::string(4095, 'x') + "\r\ny", std::string(4095, 'x') + "\ny"},
        {std::string(4095, 'x') + "\rz", std::string(4095, 'x') + "\rz"},
    };
    for (const auto &c : cases) {
        WriteHostFile("read.txt", c.bytes);
        EXPECT_EQ(ReadWith("C:\\read.txt", "r"), c.text) << c.bytes.size();
        EXPECT_EQ(ReadWith("C:\\read.txt", "rb"), c.bytes) << c.bytes.size();
    }
    WriteHostFile("lines.txt", "one\r\ntwo\r\n");
    std::FILE *file = OpenStdioFile("C:\\lines.txt", "rt");
    ASSERT_NE(file, nullptr);
    char line[16];
    ASSERT_NE(std::fgets(line, sizeof line, file), nullptr);
    EXPECT_STREQ(line, "one\n");
    std::rewind(file);
    ASSERT_NE(std::fgets(line, sizeof line, file), nullptr);
    EXPECT_STREQ(line, "one\n");
    std::fclose(file);
}

TEST_F(SimStdio, OpenFailuresSetErrno) {
    MakeHostFolder("folder");
    const struct {
        const char *path;
        const char *mode;
        int error;
    } cases[] = {
        {"C:\\missing.txt", "r", ENOENT},
        {"C:\\none\\new.txt", "w", ENOENT},
        {"C:\\folder", "r", EACCES},
        {"\\\\server\\share\\x.txt", "r", ENOENT},
        {"C:\\x.txt", "q", EINVAL},
    };
    for (const auto &c : cases) {
        errno = 0;
        EXPECT_EQ(OpenStdioFile(c.path, c.mode), nullptr) << c.path;
        EXPECT_EQ(errno, c.error) << c.path;
    }
}

}  // namespace

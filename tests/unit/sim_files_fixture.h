// A throw-away machine for tests of the simulated file system: the machine
// of the test process while the test runs, files made and read through the
// host, and the current directory put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/files.h"
#include "support/machine_fixture.h"

class FilesOnMachine : public ::testing::Test {
protected:
    void SetUp() override {
        m_machine.Use();
        char current[win::MAX_PATH];
        ASSERT_GT(win::GetCurrentDirectoryA(sizeof current, current), 0u);
        m_savedDirectory = current;
    }
    void TearDown() override { win::SetCurrentDirectoryA(m_savedDirectory.c_str()); }

    // A host path on drive C: ("Setup/a.txt" is C:\Setup\a.txt).
    std::string Host(const std::string &relative) const { return m_machine.HostPath("drive_c/" + relative); }

    void WriteHostFile(const std::string &relative, const std::string &bytes) const {
        std::filesystem::create_directories(std::filesystem::path(Host(relative)).parent_path());
        std::ofstream(Host(relative), std::ios::binary) << bytes;
    }
    std::string ReadHostFile(const std::string &relative) const {
        std::ifstream in(Host(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void MakeHostFolder(const std::string &relative) const { std::filesystem::create_directories(Host(relative)); }

    testing_machine::MachineFolder m_machine;
    std::string m_savedDirectory;
};

// Application objects on throw-away machines, logging into the machine's
// temporary folder. Configure the machine first: LoggingApp() makes it the
// machine of the test process.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/mirtel_app.h"
#include "support/machine_fixture.h"

inline std::unique_ptr<CMirtelApp> LoggingApp(testing_machine::MachineFolder &machine) {
    machine.Use();
    auto app = std::make_unique<CMirtelApp>();
    app->m_bLogOutput = TRUE;
    app->m_strTempDir = "C:\\WINDOWS\\Temp\\";
    return app;
}

// The log written so far, one entry per element. The log is a text file,
// so its line ends are CR LF; the lines come back without them.
inline std::vector<std::string> LogLines(const testing_machine::MachineFolder &machine) {
    std::ifstream in(machine.HostPath("drive_c/WINDOWS/Temp/PSLOG.TXT"), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Writes a value through the registry service, as another program on the
// machine would (the machine must be in use).
inline void PutValue(HKEY root, const char *key, const char *name, DWORD type,
                     const std::string &bytes) {
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr),
              ERROR_SUCCESS)
        << key;
    EXPECT_EQ(RegSetValueExA(opened, name, 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS)
        << name;
    RegCloseKey(opened);
}

class AppOnMachine : public ::testing::Test {
protected:
    CMirtelApp &App() {
        if (!m_app) m_app = LoggingApp(m_machine);
        return *m_app;
    }
    std::vector<std::string> LogLines() const { return ::LogLines(m_machine); }

    testing_machine::MachineFolder m_machine;
    std::unique_ptr<CMirtelApp> m_app;
};

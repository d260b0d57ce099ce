// The name tests that keep the OEM INF step inside the system's INF
// folders.
#include <gtest/gtest.h>

#include <string>

#include "inf/inf_paths.h"
#include "support/machine_fixture.h"

namespace {

TEST(InfPathsTest, PlainFileNames) {
    testing_machine::MachineFolder machine;
    machine.Use();
    struct Case {
        std::string name;
        bool plain;
    };
    const Case cases[] = {
        {"ABCDRV.INF", true},
        {"Talvo Corp.DRV.INF", true},
        {"..DRV.INF", true},
        {"%MfgDRV.INF", true},
        {"", false},
        {"..\\..\\SYSTEM\\DRV.INF", false},
        {"C:\\xDRV.INF", false},
        {"a/bDRV.INF", false},
        {"a:bDRV.INF", false},
        {"a*b.INF", false},
        {"a?b.INF", false},
        {"a\"b.INF", false},
        {"a<b.INF", false},
        {"a>b.INF", false},
        {"a|b.INF", false},
        {"a\tb.INF", false},
        {"a\x1f" "b.INF", false},
        {"CON.INF", false},
        {"con .inf", false},
        {"LPT1.INF", false},
        {"COM9", false},
        {"NUL", false},
        {"CONSOLE.INF", true},
        {"COM0.INF", true},
        // Code page 1252 has no double-byte characters.
        {"\x83\\DRV.INF", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsPlainFileName(c.name), c.plain);
    }
}

TEST(InfPathsTest, DoubleByteCharactersAreTakenWhole) {
    testing_machine::MachineFolder machine;
    machine.SetIni("System", "AnsiCodePage", "932");
    machine.Use();
    // Katakana SO: its trail byte has the value of "\".
    EXPECT_TRUE(IsPlainFileName("\x83\\DRV.INF"));
    EXPECT_FALSE(IsPlainFileName("\x83\\\\DRV.INF"));
    // A lead byte without its trail byte.
    EXPECT_FALSE(IsPlainFileName("DRV.INF\x83"));
}

TEST(InfPathsTest, NumberedOemInfNames) {
    struct Case {
        std::string name;
        bool numbered;
    };
    const Case cases[] = {
        {"OEM0.inf", true},  {"oem12.INF", true},  {"OEM007.inf", true},
        {"OEM.inf", false},  {"OEMx.inf", false},  {"OEM1x.inf", false},
        {"OEM1.inf.bak", false}, {"OEM1.pnf", false}, {"XOEM1.inf", false},
        {"OEM1.in", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsNumberedOemInfName(c.name), c.numbered);
    }
}

}  // namespace

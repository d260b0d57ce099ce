// The command line's switches, read into the application object.
#include <gtest/gtest.h>

#include "app/mirtel_app.h"
#include "platform/sim/process/arguments.h"
#include "support/machine_fixture.h"

namespace {

struct Parsed {
    BOOL result;
    CString parent, message, driver, language;
    BOOL noRegistry;
};

Parsed Parse(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "setup");
    std::vector<const char *> argv;
    for (const std::string &argument : arguments) argv.push_back(argument.c_str());
    sim::SetArguments(static_cast<int>(argv.size()), argv.data());
    CMirtelApp app;
    app.m_pLangTable = CLangsDef::BuiltInTable();
    BOOL result = app.kParseCommandLine();
    return {result, app.m_strParentWnd, app.m_strNotifyMsg, app.m_strDriverDir, app.m_strLangId,
            app.m_bNoRegistry};
}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override { machine.Use(); }
    testing_machine::MachineFolder machine;
};

TEST_F(CommandLineTest, AcceptedSwitches) {
    struct Case {
        std::vector<std::string> arguments;
        const char *parent, *message, *driver, *language;
        BOOL noRegistry;
    } cases[] = {
        {{}, "", "", "", "", FALSE},
        // Only the second and third characters are examined.
        {{"-w:1A2B", "+M:8001"}, "1A2B", "8001", "", "", FALSE},
        {{"/W:1a2b", "xm:8001"}, "1a2b", "8001", "", "", FALSE},
        // The last occurrence of a switch wins; the order does not matter.
        {{"+W:1a2b", "+W:3c4d", "+M:8001"}, "3c4d", "8001", "", "", FALSE},
        {{"+M:8001", "+W:1a2b"}, "1a2b", "8001", "", "", FALSE},
        // Values are kept unchanged, colons, blanks and case included.
        {{"+G:D:\\DRIVERS"}, "", "", "D:\\DRIVERS", "", FALSE},
        {{"+G:..\\PS"}, "", "", "..\\PS", "", FALSE},
        {{"+G:C:\\My Drivers\\PS"}, "", "", "C:\\My Drivers\\PS", "", FALSE},
        {{"+G:D:DRIVERS"}, "", "", "D:DRIVERS", "", FALSE},
        // Language names become their identifier in four lower-case digits.
        {{"+H:english"}, "", "", "", "0409", FALSE},
        {{"+H:ENGLISH"}, "", "", "", "0409", FALSE},
        {{"+H:Japanese"}, "", "", "", "0411", FALSE},
        {{"+H:0409"}, "", "", "", "0409", FALSE},
        {{"+H:zz99"}, "", "", "", "zz99", FALSE},
        {{"+9"}, "", "", "", "", TRUE},
    };
    for (const Case &c : cases) {
        Parsed parsed = Parse(c.arguments);
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        EXPECT_TRUE(parsed.result);
        EXPECT_EQ(parsed.parent, c.parent);
        EXPECT_EQ(parsed.message, c.message);
        EXPECT_EQ(parsed.driver, c.driver);
        EXPECT_EQ(parsed.language, c.language);
        EXPECT_EQ(parsed.noRegistry, c.noRegistry);
    }
    EXPECT_TRUE(machine.Transcript().empty()) << "accepted switches show nothing";
}

TEST_F(CommandLineTest, RefusedSwitches) {
    struct Case {
        std::vector<std::string> arguments;
        const char *parentAfter;
    } cases[] = {
        {{"9"}, ""},
        {{"+"}, ""},
        {{"+9x"}, ""},
        {{"+W:"}, ""},
        {{"+W1a2b"}, ""},
        {{"+Q:1", "+W:1a2b"}, ""},
        {{"+M:8001"}, ""},
        // The window switch is emptied so that nothing is posted.
        {{"+W:1a2b"}, ""},
        // Values read before the fault stay.
        {{"+W:1a2b", "+Z"}, "1a2b"},
        {{"+H:409"}, ""},
        {{"+H:0x409"}, ""},
    };
    for (const Case &c : cases) {
        Parsed parsed = Parse(c.arguments);
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        EXPECT_FALSE(parsed.result);
        EXPECT_EQ(parsed.parent, c.parentAfter);
    }
}

}  // namespace

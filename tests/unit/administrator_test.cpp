// The Administrators group of the process token, and the one log line of
// the ordinary path.
#include <gtest/gtest.h>

#include <regex>

#include "unit/app_on_machine.h"

namespace {

class Administrator : public AppOnMachine {};

struct MembershipCase {
    const char *setting;  // machine.ini [System] Administrator
    BOOL member;
};

TEST_F(Administrator, AnyAdministratorsGroupCountsEvenForDenyOnly) {
    const MembershipCase cases[] = {{"0", FALSE}, {"1", TRUE}, {"2", TRUE}};
    CMirtelApp &app = App();
    for (const MembershipCase &c : cases) {
        m_machine.SetIni("System", "Administrator", c.setting);
        m_machine.Use();
        EXPECT_EQ(app.kIsAdministrator(), c.member) << c.setting;
    }
    // Member or not, the only line is the size of the group list.
    const std::regex sizeLine(
        R"(Inf : GetTokenInformation API need buffer size\. : [1-9][0-9]*\(bytes\))");
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), std::size(cases));
    for (const std::string &line : lines) EXPECT_TRUE(std::regex_match(line, sizeLine)) << line;
}

}  // namespace

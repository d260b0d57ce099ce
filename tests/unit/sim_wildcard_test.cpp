#include <gtest/gtest.h>

#include "platform/sim/files/wildcard.h"
#include "platform/sim/text/unicode.h"

namespace {

struct WildcardCase {
    const char *pattern;
    const char *name;
    bool matches;
};

TEST(SimWildcard, MatchesAsFindFirstFileDoes) {
    const WildcardCase cases[] = {
        {"*", "abc", true},           {"*", ".", true},
        {"*", "..", true},            {"*.*", "abc", true},
        {"*.*", "a.b.c", true},       {"*.*", ".", true},
        {"*.*", "..", true},          {"*.inf", "Printer.INF", true},
        {"*.inf", "x.y.inf", true},   {"*.inf", "a.info", false},
        {"*.inf", "a.inf.bak", false}, {"*.inf", "inf", false},
        {"*.", "abc", true},          {"*.", "a.b", false},
        {"a?.txt", "a.txt", true},    {"a?.txt", "ab.txt", true},
        {"a?.txt", "abc.txt", false}, {"???", "ab", true},
        {"???", "abcd", false},       {"?", ".", false},
        {"*.?", "a", true},           {"*.?", "a.b", true},
        {"*.?", "a.bc", false},       {"OEM*.inf", "oem12.inf", true},
        {"OEM*.inf", "oem.inf", true}, {"OEM*.inf", "xoem1.inf", false},
        {"*.i*", "a.inf.txt", true},  {"*x", "a.x", true},
        {"a*b", "aXYb", true},        {"a*b", "aXYc", false},
        {"a.", "a", true},            {"a.", "a.b", false},
        {"abc", "ABC", true},         {"\xc3\xa9t\xc3\xa9.txt", "\xc3\x89T\xc3\x89.TXT", true},
    };
    for (const WildcardCase &c : cases)
        EXPECT_EQ(sim::MatchesFilePattern(sim::UpcasedUtf16(c.pattern), sim::UpcasedUtf16(c.name)), c.matches)
            << c.pattern << " against " << c.name;
}

}  // namespace

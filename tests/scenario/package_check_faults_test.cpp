// Packages that fail on real systems in ways a vendor meets, each next to
// the same package mended: every fault is a problem of its own code, at its
// file (and line), with a non-zero exit; the mended package passes. The
// runs include system languages the package lacks, so that the English
// fallback is met.
#include <unistd.h>

#include <functional>

#include "check_packages.h"

namespace {

using namespace check_packages;

// A printer INF whose lines are numbered as the faults below name them:
// Provider on line 4, the model on line 8.
std::string Inf(const std::string &signature, const std::string &provider = "%Mfg%",
                const std::string &model = "\"Talvo Writer\"") {
    return "[Version]\r\nSignature=\"" + signature + "\"\r\nClass=Printer\r\nProvider=" + provider +
           "\r\n[Manufacturer]\r\n%Mfg%=Models\r\n[Models]\r\n" + model +
           " = TW.PPD\r\n[Strings]\r\nMfg=\"Talvo\"\r\n";
}

// German messages and notice in code page 1252, as the installer reads them.
const std::string kGermanLine = "IDS_ERR_CMDLINE=Ung\xFCltiger Eintrag\r\n";
const std::string kGermanNotice = "Hinweis f\xFCr Benutzer\r\n";

std::string Utf8(const std::string &cp1252) {
    std::string utf8;
    for (char c : cp1252) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) utf8 += c;
        else utf8 += {static_cast<char>(0xC0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3F))};
    }
    return utf8;
}

std::string Utf16(const std::string &ascii) {
    std::string utf16 = "\xFF\xFE";
    for (char c : ascii) utf16 += {c, '\0'};
    return utf16;
}

// The package mended: English and German messages, a German notice, an
// INF for each family, in `driverFolder` ("" for the package folder).
void WriteMended(const Package &package, const std::string &driverFolder) {
    const std::string folder = driverFolder.empty() ? "" : driverFolder + "/";
    package.Write("RES/PSDI_ENG.IRC", Messages());
    package.Write("RES/PSDI_DEU.IRC", Messages() + kGermanLine);
    package.Write("RES/PSDI_DEU1.TXT", kGermanNotice);
    package.Write(folder + "95.INF", Inf("$CHICAGO$"));
    package.Write(folder + "NT.INF", Inf("$Windows NT$"));
}

struct Fault {
    const char *name;
    const char *driverFolder;
    std::function<void(const Package &)> breakIt;
    const char *code;
    const char *file;
    int line;
};

const Fault kFaults[] = {
    {"model name token without text", "", [](const Package &p) { p.Write("95.INF", Inf("$CHICAGO$", "%Mfg%", "%OfficeWriter%")); },
     "inf-token-undefined", "95.INF", 8},
    {"provider token without text", "", [](const Package &p) { p.Write("NT.INF", Inf("$Windows NT$", "%Nobody%")); },
     "inf-token-undefined", "NT.INF", 4},
    {"message file saved as UTF-8", "", [](const Package &p) { p.Write("RES/PSDI_DEU.IRC", Utf8(Messages() + kGermanLine)); },
     "message-file-utf8", "RES\\PSDI_DEU.IRC", 0},
    {"notice file saved as UTF-8", "", [](const Package &p) { p.Write("RES/PSDI_DEU1.TXT", Utf8(kGermanNotice)); },
     "notice-file-utf8", "RES\\PSDI_DEU1.TXT", 0},
    {"message file saved as UTF-16", "", [](const Package &p) { p.Write("RES/PSDI_DEU.IRC", Utf16(Messages())); },
     "message-file-utf16", "RES\\PSDI_DEU.IRC", 0},
    {"[Strings] for [String]", "",
     [](const Package &p) {
         std::string text = Messages();
         text.replace(0, 8, "[Strings]");
         p.Write("RES/PSDI_DEU.IRC", text);
     },
     "message-section-missing", "RES\\PSDI_DEU.IRC", 0},
    {"no English message file", "",
     [](const Package &p) { fs::remove(fs::path(p.Folder()) / "RES/PSDI_ENG.IRC"); },
     "english-file-missing", "RES\\PSDI_ENG.IRC", 0},
    {"broken INF in a driver folder of a non-ASCII name", "Tr\xC3\xA8iber",
     [](const Package &p) { p.Write("Tr\xC3\xA8iber/95.INF", "[Version]\r\nSignature=\"$CHICAGO$\"\r\n"); },
     "inf-class-missing", "Tr\xC3\xA8iber\\95.INF", 0},
};

// The driver folder as a vendor may type it: in another case. Its name is
// run in languages whose code page can write it (Czech cannot: the check
// says so).
std::vector<std::string> Arguments(const Package &package, const std::string &driverFolder) {
    std::vector<std::string> arguments = {"--json", package.Folder()};
    if (!driverFolder.empty())
        arguments.insert(arguments.begin(), {"--driver-folder", "tR\xC3\x88IBER", "--languages", "english,deu,040c"});
    return arguments;
}

TEST(PackageCheckFaults, EachFaultIsAProblemOfItsOwnCode) {
    for (const Fault &fault : kFaults) {
        SCOPED_TRACE(fault.name);
        Package package;
        WriteMended(package, fault.driverFolder);
        fault.breakIt(package);
        const CheckRun run = RunCheck(Arguments(package, fault.driverFolder));
        EXPECT_EQ(run.result.status, 1) << run.result.out << run.result.err;
        EXPECT_FALSE(run.json["ok"].flag);
        const Value *problem = ProblemOf(run.json, fault.code);
        ASSERT_TRUE(problem) << testing::PrintToString(Problems(run.json));
        EXPECT_EQ((*problem)["file"].text, fault.file);
        if (fault.line) {
            EXPECT_EQ((*problem)["line"].number, fault.line);
        }
        EXPECT_EQ((*problem)["path"].text.rfind(package.Folder(), 0), 0u) << (*problem)["path"].text;
    }
}

// English and one more system language the package lacks are run: without
// its English file the installer stops there.
TEST(PackageCheckFaults, RunsMeetTheEnglishFallback) {
    Package package;
    WriteMended(package, "");
    fs::remove(fs::path(package.Folder()) / "RES/PSDI_ENG.IRC");
    const CheckRun run = RunCheck({"--json", package.Folder()});
    EXPECT_EQ(Mark(run.json, "xp", "ENG"), "IDS_RESOURCE_FILE_NOT_FOUND");
    EXPECT_EQ(Mark(run.json, "xp", "CES"), "IDS_RESOURCE_FILE_NOT_FOUND");
    EXPECT_EQ(Mark(run.json, "xp", "DEU"), "ok");
}

TEST(PackageCheckFaults, MendedPackagesPass) {
    for (const char *driverFolder : {"", "Tr\xC3\xA8iber"}) {
        Package package;
        WriteMended(package, driverFolder);
        const CheckRun run = RunCheck(Arguments(package, driverFolder));
        EXPECT_EQ(run.result.status, 0) << testing::PrintToString(Problems(run.json));
        EXPECT_EQ(run.json["infs"].items.size(), 2u);
        std::vector<std::string> languages;
        for (const Value &language : run.json["languages"].items)
            languages.push_back(language["code"].text + (language["fallback"].flag ? "*" : ""));
        const std::vector<std::string> expected =
            *driverFolder ? std::vector<std::string>{"ENG", "DEU", "FRA*"} : std::vector<std::string>{"DEU", "ENG", "CES*"};
        EXPECT_EQ(languages, expected);
    }
}

// A file the vendor's user cannot read: the check runs as that user (as
// nobody when the tests run as root, who reads every file).
TEST(PackageCheckFaults, UnreadableInfIsNamedAsSuch) {
    Package package;
    WriteMended(package, "");
    const std::string inf = package.Folder() + "/NT.INF";
    fs::permissions(inf, fs::perms::none);
    // The rest of the package stays readable to that user.
    fs::permissions(package.Folder(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    std::string program = testing_paths::BinDir() + "/mirtel-check";
    std::vector<std::string> arguments = {"--json", "--languages", "ENG", package.Folder()};
    if (geteuid() == 0) {
        if (access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "running as root without setpriv";
        arguments.insert(arguments.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", program});
        program = "/usr/bin/setpriv";
    }
    const testing_machine::RunResult result = testing_machine::RunProgram(program, arguments, {});
    Value json;
    std::string error;
    ASSERT_TRUE(testing_json::Parse(result.out, &json, &error)) << error << result.out << result.err;
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(ProblemStarting(json, "NT.INF: cannot be read: error 0x00000005 (permission denied)").empty(), false)
        << testing::PrintToString(Problems(json));
    // The runs meet it as the installer would, on every family.
    EXPECT_EQ(Mark(json, "nt4", "ENG"), "IDS_ERR_READINF");
    EXPECT_EQ(Mark(json, "95", "ENG"), "IDS_ERR_READINF");
}

}  // namespace

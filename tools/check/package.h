// The package as the installer sees it: a throw-away machine of this
// process with the package folder as drive D:, where the program is
// D:\setup; and the languages the package speaks.
#pragma once

#include <string>
#include <vector>

#include "report.h"
#include "scratch_folder.h"

namespace check {

// Where the installer stands in every machine the check makes.
constexpr const char *kPackageDrive = "D";
constexpr const char *kProgramPath = "D:\\setup";
// The ANSI code page of the machine this process reads the package on (the
// template's); texts read there are turned into UTF-8 with it.
constexpr unsigned kPackageCodePage = 1252;

class PackageMachine {
public:
    // Makes the machine and makes it this process's machine.
    bool Open(const std::string &package, std::string *error);

private:
    ScratchFolder m_folder;
};

// The Windows path of a file within the package ("RES\PSDI_ENG.IRC").
std::string InPackage(const std::string &relative);
// The path within the package of a Windows path on drive D:, as UTF-8.
std::string WithinPackage(const std::string &windowsPath);

// The language table in force and the languages of it that have a message
// file (the first row of each code). When LANGSDEF.INI is invalid the
// installer speaks no language; the built-in table then names the message
// files' languages. A message file no row names is a problem.
// A missing English file is a problem: it is the installer's last resort.
LanguageTable ReadLanguages(std::vector<Language> *languages, std::vector<Problem> *problems);

// The system languages to run beyond the package's own, so that the runs
// meet the fallback the installer takes where the package lacks the
// system's language: English when the package has no English file, and one
// more language it lacks.
std::vector<Language> FallbackLanguages(const std::vector<Language> &languages);

// A language of the built-in table (or Turkish, outside it) named by its
// code (ENG), its name (ENGLISH) or its identifier (0409, 0x0409), as the
// installer's +H: switch and the table name them; false when none fits.
bool LanguageNamed(const std::string &name, const std::vector<Language> &packageLanguages, Language *language);

}  // namespace check

// What the check found: the package's languages and INF files, one run of
// the installer per family and language, and the problems. The text and
// JSON reports print this; nothing here is printed twice in two ways.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "families.h"

namespace check {

// An error: a family or a language cannot install. A warning: a text or a
// layout problem the user would see.
enum class Severity { kWarning, kError };

// One problem: its stable code (see problem_codes.h), the file it is in (a
// path within the package; empty for what runs of the installer showed),
// the line when there is one (0: none), the family and languages it
// concerns (empty: all, or none in particular), what is wrong.
struct Problem {
    std::string code;
    std::string file;
    int line = 0;
    std::vector<std::string> families;   // family ids
    std::vector<std::string> languages;  // language codes
    std::string message;
};

struct Language {
    std::string code;  // OmittedName: ENG, JPN, ...
    std::string name;  // the table's name: ENGLISH, JAPANESE, ...
    unsigned langId = 0;
    unsigned codePage = 0;
    // A language the package has no message file for, run to see the
    // installer fall back to another one (English, in the end).
    bool fallback = false;
    std::string messageFile;               // RES\PSDI_<code>.IRC; empty for a fallback language
    std::vector<std::string> missingKeys;  // keys the installer can show that the file lacks
    std::vector<int> undecodableLines;     // lines that do not decode in the code page
    std::string noticeFile;                // RES\PSDI_<code>1.TXT, empty when none
    std::vector<int> undecodableNoticeLines;
};

struct LanguageTable {
    std::string source;  // "built-in", or the LANGSDEF.INI used (within the package)
    bool valid = true;
};

// Model names kept of each INF: a driver INF may list hundreds of
// thousands.
constexpr std::size_t kModelsListed = 100;

struct InfFile {
    std::string file;  // path within the package, "\"-separated
    // Read on the host: 0, or the system error that stops every reader.
    unsigned long readError = 0;
    // Its size and a hash of its bytes, to know its copies in the INF store.
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    // Opened as the setup API opens it.
    bool opens = false;
    unsigned long openError = 0;  // GetLastError when it did not open
    unsigned errorLine = 0;
    bool win4Style = true;
    // [Version] as the driver-folder check reads it: raw profile values.
    bool classPresent = false;
    std::string infClass;
    int classLine = 0;  // 0: not found
    bool signaturePresent = false;
    std::string signature;
    int signatureLine = 0;
    int providerLine = 0;
    std::vector<std::string> families;  // ids of the families whose check takes it
    // As the setup API gives it: tokens replaced.
    std::string provider;
    // The Windows 95 family's copy in Inf\Other: its name, or why there is none.
    std::string oemName95;
    std::string oemName95Refusal;
    bool modelsRead = false;
    std::size_t modelCount = 0;
    std::vector<std::string> models;  // the first kModelsListed of them
    std::string layoutFile;  // [Version] LayoutFile; empty when none is named
    bool layoutFileFound = false;
};

struct Box {
    std::string key;  // the message key it shows; "notice" for the notice file; empty when unknown
    std::string caption;
    std::string text;
    std::string style;
};

struct StoredInf {
    std::string path;    // as Windows names it, C:\WINDOWS\Inf\...
    std::string copyOf;  // the package's INF it is a copy of; empty when none
    std::string provider;
};

// One run of the installer: one family, one system language.
struct Cell {
    std::string family;    // family id
    std::string language;  // language code
    bool wizardOpened = false;
    int exitStatus = -1;
    bool timedOut = false;
    std::string runError;  // the run itself could not be made
    std::string wParam;    // what the parent window received; empty when nothing was posted
    std::vector<Box> boxes;
    std::vector<std::string> wizardInfs;
    std::vector<StoredInf> infStore;
};

struct Report {
    std::string package;       // host folder
    std::string driverFolder;  // within the package; empty: the package folder itself
    LanguageTable languageTable;
    std::vector<Language> languages;
    std::vector<Family> families;
    std::vector<InfFile> infs;
    std::vector<Cell> cells;  // families × languages, family-major
    std::vector<Problem> problems;
    Severity failOn = Severity::kWarning;  // the lowest severity that fails the check
    double seconds = 0;
};

// True when a problem is at or above the report's --fail-on severity.
bool Fails(const Report &report);
bool Fails(const Report &report, const Problem &problem);

}  // namespace check

// The language table: which languages a package speaks, the Windows
// language identifier each answers to and the code that names its files.
#include "lang/langs_def.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "lang/path_utils.h"

namespace {

constexpr const char *kFileName = "LANGSDEF.INI";
// A section of LANGSDEF.INI that names conditions, not a language.
constexpr const char *kPreconditionSection = "Precondition";
// Values are read into buffers of this size; a read that fills it (15
// characters) means the value did not fit.
constexpr DWORD kValueBuffer = 16;
constexpr std::size_t kCodeLength = 3;

const LangEntry kBuiltInTable[] = {
    {"CESKY", 0x0405, "CES"},    {"DANSK", 0x0406, "DAN"},    {"DEUTSCH", 0x0407, "DEU"},
    {"ENGLISH", 0x0409, "ENG"},  {"ESPANOL", 0x040A, "ESP"},  {"FRANCAIS", 0x040C, "FRA"},
    {"ITALIANO", 0x0410, "ITA"}, {"MAGYAR", 0x040E, "MAG"},   {"NEDRLNDS", 0x0413, "NED"},
    {"NORSK", 0x0414, "NOR"},    {"POLSKI", 0x0415, "POL"},   {"PORTUGUS", 0x0816, "POR"},
    {"SUOMI", 0x040B, "SUO"},    {"SVENSKA", 0x041D, "SVE"},  {"JAPANESE", 0x0411, "JPN"},
    {"SIMPCHIN", 0x0804, "SCH"}, {"TRADCHIN", 0x0404, "TCH"}, {"RUSSIAN", 0x0419, "RUS"},
    {"CHIN_SIM", 0x0804, "SCH"}, {"CHIN_TRA", 0x0404, "TCH"}, {"KOREAN", 0x0412, "KOR"},
    {"", kLangTableEnd, ""},
};

bool EqualsNoCase(const CString &a, const char *b) {
    return a.size() == std::strlen(b) &&
           std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// A LangID text as the C runtime's strtol reads it with base 0 (0x for
// hexadecimal, a leading 0 for octal, else decimal; blanks and a sign
// first; text that is no number gives 0), with Windows' 32-bit long, cut
// to its low 16 bits.
WORD ParseLangId(const char *text) {
    long long number = std::strtoll(text, nullptr, 0);
    number = std::clamp<long long>(number, INT32_MIN, INT32_MAX);
    return static_cast<WORD>(static_cast<unsigned long long>(number) & 0xFFFF);
}

}  // namespace

CLangsDef::CLangsDef() {
    char programPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, programPath, MAX_PATH);
    Find(programPath);
}

CLangsDef::CLangsDef(const char *programPath) { Find(programPath); }

const LangEntry *CLangsDef::BuiltInTable() { return kBuiltInTable; }

void CLangsDef::Find(const char *programPath) {
    CString drive, folder;
    SplitPath(programPath, kSplitDrive, drive);
    SplitPath(programPath, kSplitFolderSlash, folder);
    const CString candidates[] = {
        drive + folder + kFileName,
        drive + folder + "DRVINST\\" + kFileName,
        drive + "\\" + kFileName,
    };

    m_status = kNotFound;
    for (const CString &candidate : candidates) {
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA(candidate.c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) continue;
        FindClose(search);
        // The first file found decides, valid or not.
        m_strFilePath = candidate;
        m_status = ReadFile(candidate) ? kRead : kInvalid;
        break;
    }
    BuildTable();
}

BOOL CLangsDef::ReadFile(const CString &path) {
    CStringList sections;
    ReadProfileNames(path.c_str(), nullptr, sections);
    for (const CString &section : sections) {
        if (EqualsNoCase(section, kPreconditionSection)) continue;

        char code[kValueBuffer] = {};
        DWORD length = GetPrivateProfileStringA(section.c_str(), "OmittedName", "", code,
                                                kValueBuffer, path.c_str());
        if (length == kValueBuffer - 1 || std::strlen(code) != kCodeLength) return FALSE;

        char id[kValueBuffer] = {};
        length = GetPrivateProfileStringA(section.c_str(), "LangID", "", id, kValueBuffer,
                                          path.c_str());
        if (length == kValueBuffer - 1 || !*id) return FALSE;

        m_entries.push_back({section, ParseLangId(id), code});
    }
    return TRUE;
}

void CLangsDef::BuildTable() {
    if (m_status == kNotFound) {
        m_pTable = kBuiltInTable;
        return;
    }
    if (m_status == kInvalid) {
        m_pTable = nullptr;
        return;
    }

    // All names and codes in one block, each with its terminator; the rows
    // point into it once it is complete and can no longer move.
    std::vector<std::pair<std::size_t, std::size_t>> offsets;
    for (const Row &row : m_entries) {
        std::size_t name = m_stringBlock.size();
        m_stringBlock.insert(m_stringBlock.end(), row.name.c_str(),
                             row.name.c_str() + row.name.size() + 1);
        std::size_t code = m_stringBlock.size();
        m_stringBlock.insert(m_stringBlock.end(), row.omittedName.c_str(),
                             row.omittedName.c_str() + row.omittedName.size() + 1);
        offsets.emplace_back(name, code);
    }
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        m_builtTable.push_back({m_stringBlock.data() + offsets[i].first, m_entries[i].langId,
                                m_stringBlock.data() + offsets[i].second});
    m_builtTable.push_back({"", kLangTableEnd, ""});
    m_pTable = m_builtTable.data();
}

// The language table: LANGSDEF.INI beside the program (or in its DRVINST
// folder, or at the drive's root), else the built-in table.
#pragma once

#include <memory>

#include "framework/afx.h"

struct LangEntry {
    const char *Name;
    WORD LangID;
    const char *OmittedName;
};

// The row that ends every language table.
constexpr WORD kLangTableEnd = 0xFFFF;

class CLangsDef {
public:
    enum Status { kRead = 0, kInvalid = 1, kNotFound = 2 };

    // Finds and reads the file beside the running program; cannot fail
    // towards its caller.
    CLangsDef();
    // The same for a program at `programPath` (a full Windows path).
    explicit CLangsDef(const char *programPath);
    CLangsDef(const CLangsDef &) = delete;
    CLangsDef &operator=(const CLangsDef &) = delete;

    // The table in force: the built-in one, the one read from the file, or
    // null when the file was found but is invalid.
    const LangEntry *Table() const { return m_pTable; }
    // The LANGSDEF.INI that was found; empty when none was.
    const CString &FilePath() const { return m_strFilePath; }
    Status GetStatus() const { return m_status; }

    static const LangEntry *BuiltInTable();

private:
    void Find(const char *programPath);
    BOOL ReadFile(const CString &path);
    void BuildTable();

    const LangEntry *m_pTable = nullptr;
    CString m_strFilePath;
    Status m_status = kNotFound;
    struct Row {
        CString name;
        WORD langId;
        CString omittedName;
    };
    std::vector<Row> m_entries;
    std::vector<LangEntry> m_builtTable;
    std::vector<char> m_stringBlock;
};

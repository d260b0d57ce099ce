#include "lang/log.h"

#include <cstdio>

#include "app/mirtel_app.h"

void WriteLog(CMirtelApp *app, const char *format, ...) {
    if (!app || !app->m_bLogOutput || app->m_strTempDir.empty()) return;
    // Entries that carry registry values can be long; they are written
    // whole rather than cut at a fixed buffer size.
    std::va_list args;
    va_start(args, format);
    CString entry = FormatStringV(format, args);
    va_end(args);
    CString path = app->m_strTempDir + "PSLOG.TXT";
    // The folder is the user's: whatever a link there points to, this
    // elevated program would write into it, so a link is skipped.
    std::FILE *file = OpenOwnFileForAppend(path.c_str());
    if (!file) return;
    std::fwrite(entry.data(), 1, entry.size(), file);
    std::fclose(file);
}

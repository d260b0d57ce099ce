// What a planted program or library does, and all it does: it appends one
// line, "<kind>\t<its own path>", to C:\mirtel\planted.txt, so a scenario
// can tell that it ran.
#pragma once

#include <windows.h>

inline void WritePlantedMarker(HMODULE self, const char *kind) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(self, path, MAX_PATH);
    char line[MAX_PATH + 32];
    const int length = wsprintfA(line, "%s\t%s\n", kind, path);
    HANDLE file = CreateFileA("C:\\mirtel\\planted.txt", FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}

// best_fit_probe.exe: which characters WideCharToMultiByte maps to another
// character's bytes (its "best fit") rather than to the default character,
// per code page. A Win32 program, built with MinGW and run under Wine by
// scripts/make-best-fit.py; not part of the installer.
//
//   best_fit_probe.exe <code-page> ...
//
// Prints one line per such character of the Basic Multilingual Plane:
// "<code-page> <UTF-16 unit, 4 hex digits> <bytes, 2 hex digits each>".
// A character whose bytes read back as itself (a round trip) and one that
// becomes the default character are not printed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    for (int a = 1; a < argc; ++a) {
        const UINT codePage = static_cast<UINT>(std::strtoul(argv[a], nullptr, 10));
        for (unsigned unit = 1; unit <= 0xFFFF; ++unit) {
            if (unit >= 0xD800 && unit <= 0xDFFF) continue;
            const WCHAR wide = static_cast<WCHAR>(unit);
            char bytes[8];
            BOOL usedDefault = FALSE;
            const int length = WideCharToMultiByte(codePage, 0, &wide, 1, bytes, sizeof bytes, nullptr, &usedDefault);
            if (length <= 0 || usedDefault) continue;
            WCHAR back[4];
            const int backLength = MultiByteToWideChar(codePage, 0, bytes, length, back, 4);
            if (backLength == 1 && back[0] == wide) continue;
            std::printf("%u %04X", codePage, unit);
            for (int i = 0; i < length; ++i) std::printf(" %02X", static_cast<unsigned char>(bytes[i]));
            std::printf("\n");
        }
    }
    return 0;
}

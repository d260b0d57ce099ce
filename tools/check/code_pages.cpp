#include "code_pages.h"

namespace check {

unsigned AnsiCodePageOf(unsigned langId) {
    switch (langId & 0x3FF) {  // the primary language
    case 0x04:  // Chinese: Taiwan and Hong Kong write traditional characters
        return langId == 0x0404 || langId == 0x0C04 || langId == 0x1404 ? 950 : 936;
    case 0x11: return 932;  // Japanese
    case 0x12: return 949;  // Korean
    case 0x1E: return 874;  // Thai
    case 0x05: case 0x0E: case 0x15: case 0x18: case 0x1A: case 0x1B: case 0x1C: case 0x24:
        return 1250;  // Central European
    case 0x02: case 0x19: case 0x22: case 0x23: case 0x2F:
        return 1251;  // Cyrillic
    case 0x08: return 1253;  // Greek
    case 0x1F: return 1254;  // Turkish
    case 0x0D: return 1255;  // Hebrew
    case 0x01: case 0x20: case 0x29: return 1256;  // Arabic script
    case 0x25: case 0x26: case 0x27: return 1257;  // Baltic
    case 0x2A: return 1258;  // Vietnamese
    default: return 1252;    // Western European and English
    }
}

}  // namespace check

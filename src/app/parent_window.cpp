// The parent installer's window and message, as +W: and +M: name them.
#include "app/parent_window.h"

#include <cctype>
#include <cstdint>

namespace {

// PostMessageA to this handle asks every top-level window to act.
constexpr std::intptr_t kBroadcastHandle = 0xFFFF;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

BOOL ReadSwitchNumber(const CString &text, DWORD &number) {
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    if (text.compare(pos, 2, "0x") == 0 || text.compare(pos, 2, "0X") == 0) pos += 2;
    DWORD value = 0;
    int digits = 0;
    for (; pos < text.size() && HexDigit(text[pos]) >= 0; ++pos) {
        if (++digits > 8) return FALSE;
        value = value * 16 + static_cast<DWORD>(HexDigit(text[pos]));
    }
    if (digits == 0) return FALSE;
    number = value;
    return TRUE;
}

HWND ExistingParentWindow(const CString &text) {
    DWORD number = 0;
    if (!ReadSwitchNumber(text, number)) return nullptr;
    const std::intptr_t widened = static_cast<std::int32_t>(number);
    if (widened == kBroadcastHandle) return nullptr;
    const HWND window = reinterpret_cast<HWND>(widened);
    return IsWindow(window) ? window : nullptr;
}

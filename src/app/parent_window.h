// The parent installer's window and message, as +W: and +M: name them.
#pragma once

#include "framework/afx.h"

// Reads a +W: or +M: text as the 32-bit number it names: blanks, an
// optional "0x", then one to eight hexadecimal digits, up to the first
// other character. FALSE for a text without digits, with more than eight
// of them, or with a sign.
BOOL ReadSwitchNumber(const CString &text, DWORD &number);

// The window a +W: text names, when it is one that exists and is not
// HWND_BROADCAST; null otherwise. A window handle is 32 bits wide between
// processes: a 64-bit system widens it by sign extension, and so does this.
HWND ExistingParentWindow(const CString &text);

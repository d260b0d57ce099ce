// <windows.h> for the real services, and the casts between its types and
// the platform layer's. Include this after every platform header: the
// macros of <windows.h> (MAX_PATH, FALSE, MB_OK ...) would otherwise
// rewrite the names those headers declare. After it, name Win32's own
// types and constants with a leading "::" or as the macros they are.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
#include <windows.h>

// On 32-bit Windows these are macros for the plain Long functions; the
// platform layer declares functions by the Ptr names, so the macros go and
// win32::GetWindowLongPtr / SetWindowLongPtr below call what they named.
#ifndef _WIN64
#undef GetWindowLongPtrA
#undef SetWindowLongPtrA
#endif

namespace win32 {

#ifdef _WIN64
inline LONG_PTR GetWindowLongPtr(HWND window, int index) {
    return ::GetWindowLongPtrA(window, index);
}
inline LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
    return ::SetWindowLongPtrA(window, index, value);
}
#else
inline LONG_PTR GetWindowLongPtr(HWND window, int index) { return ::GetWindowLongA(window, index); }
inline LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
    return ::SetWindowLongA(window, index, value);
}
#endif

// A pointer to a function of one signature as a pointer to a function of
// another whose arguments have the same sizes and passing (for example
// win::WNDPROC and ::WNDPROC). The detour through void(*)() is the
// compiler's accepted way to say that the cast is meant.
template <class To, class From>
To FunctionCast(From function) {
    return reinterpret_cast<To>(reinterpret_cast<void (*)()>(function));
}

}  // namespace win32

// The thread's last-error code, Win32's own.
#include "platform/types.h"
#include "platform/win32/native.h"

namespace win {

DWORD GetLastError() { return ::GetLastError(); }

void SetLastError(DWORD error) { ::SetLastError(error); }

}  // namespace win

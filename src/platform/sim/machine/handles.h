// The simulated machine's handle table: every kernel object the program
// holds (process token, process, thread, mutex, registry key) is an object
// behind a handle value, kept alive until the handle is closed.
#pragma once

#include <memory>

#include "platform/types.h"

namespace sim {

// Base of everything a handle can name; the table owns it through a
// shared_ptr so a lookup stays valid while another thread closes the handle.
class HandleObject {
public:
    virtual ~HandleObject() = default;
};

// A new handle for `object`: a nonzero multiple of 4, never
// INVALID_HANDLE_VALUE, not reused while the process runs.
win::HANDLE NewHandle(std::shared_ptr<HandleObject> object);

// The object behind `handle`, or null when the handle is not open.
std::shared_ptr<HandleObject> LookupHandleObject(win::HANDLE handle);

// The object behind `handle` if it is open and of kind T, else null.
template <class T>
std::shared_ptr<T> LookupHandle(win::HANDLE handle) {
    return std::dynamic_pointer_cast<T>(LookupHandleObject(handle));
}

// Removes `handle` from the table; false when it was not open. The object
// is destroyed once the last lookup holding it lets go.
bool CloseSimHandle(win::HANDLE handle);

}  // namespace sim

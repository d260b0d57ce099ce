#include "platform/sim/machine/handles.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "platform/system.h"

namespace sim {
namespace {

struct HandleTable {
    std::mutex lock;
    std::unordered_map<std::uintptr_t, std::shared_ptr<HandleObject>> objects;
    // Windows hands out small multiples of 4; start well clear of the
    // pseudo handles and of 0.
    std::uintptr_t next = 0x100;
};

HandleTable &Table() {
    static HandleTable table;
    return table;
}

}  // namespace

win::HANDLE NewHandle(std::shared_ptr<HandleObject> object) {
    HandleTable &table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const std::uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<win::HANDLE>(value);
}

std::shared_ptr<HandleObject> LookupHandleObject(win::HANDLE handle) {
    HandleTable &table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == table.objects.end() ? nullptr : found->second;
}

bool CloseSimHandle(win::HANDLE handle) {
    std::shared_ptr<HandleObject> closing;
    HandleTable &table = Table();
    {
        std::lock_guard<std::mutex> guard(table.lock);
        auto found = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found == table.objects.end()) return false;
        closing = std::move(found->second);
        table.objects.erase(found);
    }
    // `closing` is released here, outside the lock, so an object whose
    // destructor closes other handles cannot deadlock the table.
    return true;
}

}  // namespace sim

namespace win {

BOOL CloseHandle(HANDLE handle) {
    // The current-process pseudo handle is never really open.
    if (handle == GetCurrentProcess()) return TRUE;
    if (!sim::CloseSimHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // namespace win

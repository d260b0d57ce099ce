#include "heap_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace heap_counter {
namespace {

std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};

void *Allocate(std::size_t size) {
    void *block = std::malloc(size ? size : 1);
    if (!block) return nullptr;
    const std::size_t live = g_live += malloc_usable_size(block);
    std::size_t peak = g_peak.load();
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
    }
    return block;
}

void Free(void *block) {
    if (!block) return;
    g_live -= malloc_usable_size(block);
    std::free(block);
}

}  // namespace

std::size_t LiveBytes() { return g_live.load(); }
void ResetPeak() { g_peak = g_live.load(); }
std::size_t PeakBytes() { return g_peak.load(); }

}  // namespace heap_counter

void *operator new(std::size_t size) {
    if (void *block = heap_counter::Allocate(size)) return block;
    throw std::bad_alloc();
}
void *operator new[](std::size_t size) { return operator new(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
    return heap_counter::Allocate(size);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
    return heap_counter::Allocate(size);
}
void operator delete(void *block) noexcept { heap_counter::Free(block); }
void operator delete[](void *block) noexcept { heap_counter::Free(block); }
void operator delete(void *block, std::size_t) noexcept { heap_counter::Free(block); }
void operator delete[](void *block, std::size_t) noexcept { heap_counter::Free(block); }
void operator delete(void *block, const std::nothrow_t &) noexcept { heap_counter::Free(block); }
void operator delete[](void *block, const std::nothrow_t &) noexcept { heap_counter::Free(block); }

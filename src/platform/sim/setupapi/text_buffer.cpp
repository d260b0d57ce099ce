#include "platform/sim/setupapi/text_buffer.h"

#include <sys/mman.h>

#include <cstring>
#include <new>

namespace sim::setupapi {
namespace {

// Blocks from this size on are mapped on their own, in huge pages where
// the kernel has them; smaller ones come from the heap (operator new, which
// the tools that count the heap see).
constexpr std::size_t kMappedFrom = std::size_t{2} << 20;

}  // namespace

TextBuffer::TextBuffer(std::size_t size) : m_size(size) {
    if (size < kMappedFrom) {
        // One byte more, so that an empty text has a block too.
        m_bytes = std::unique_ptr<char, TextBufferRelease>(static_cast<char *>(::operator new(size + 1)));
        return;
    }
    void *mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    ::madvise(mapped, size, MADV_HUGEPAGE);  // a hint: without it the pages are ordinary ones
#endif
    m_bytes = std::unique_ptr<char, TextBufferRelease>(static_cast<char *>(mapped), TextBufferRelease{size});
}

TextBuffer::TextBuffer(std::string_view text) : TextBuffer(text.size()) {
    if (!text.empty()) std::memcpy(m_bytes.get(), text.data(), text.size());
}

void TextBufferRelease::operator()(char *bytes) const {
    if (mapped != 0) ::munmap(bytes, mapped);
    else ::operator delete(bytes);
}

}  // namespace sim::setupapi

// The bytes of an INF file, and then its text: one block of memory that is
// not cleared before the file is read into it. A large block asks the
// kernel for huge pages, as a 50 MB INF read into ordinary pages takes
// 12,000 page faults, about as long as parsing it.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace sim::setupapi {

// Gives a TextBuffer's block back.
struct TextBufferRelease {
    std::size_t mapped = 0;  // bytes mapped, 0 for a block of the heap
    void operator()(char *bytes) const;
};

class TextBuffer {
public:
    TextBuffer() = default;
    explicit TextBuffer(std::size_t size);  // the bytes are not set
    explicit TextBuffer(std::string_view text);

    char *Data() { return m_bytes.get(); }
    const char *Data() const { return m_bytes.get(); }
    std::size_t Size() const { return m_size; }
    std::string_view View() const { return std::string_view(m_bytes.get(), m_size); }
    // Keeps the first `size` bytes (no more than there are).
    void Shrink(std::size_t size) { m_size = size < m_size ? size : m_size; }

private:
    std::unique_ptr<char, TextBufferRelease> m_bytes;
    std::size_t m_size = 0;
};

}  // namespace sim::setupapi

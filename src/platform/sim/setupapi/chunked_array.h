// An array that grows a block of 16,384 entries at a time. Growing never
// copies what it holds, so a table of millions of entries (the lines of a
// 50 MB INF) takes no more memory while it is built than its size and one
// block, and needs no guess of its size beforehand.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace sim::setupapi {

template <class T>
class ChunkedArray {
public:
    std::size_t Size() const { return m_size; }
    T operator[](std::size_t index) const { return m_blocks[index >> kBlockBits][index & kIndexMask]; }
    T &operator[](std::size_t index) { return m_blocks[index >> kBlockBits][index & kIndexMask]; }

    void PushBack(T value) {
        if ((m_size & kIndexMask) == 0 && (m_size >> kBlockBits) == m_blocks.size())
            m_blocks.push_back(std::make_unique<T[]>(kBlockSize));
        (*this)[m_size++] = value;
    }
    // `size` entries, those beyond the present ones set to T().
    void Resize(std::size_t size) {
        while (m_blocks.size() * kBlockSize < size) m_blocks.push_back(std::make_unique<T[]>(kBlockSize));
        m_size = size;
    }

private:
    static constexpr std::size_t kBlockBits = 14;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
    static constexpr std::size_t kIndexMask = kBlockSize - 1;

    std::vector<std::unique_ptr<T[]>> m_blocks;
    std::size_t m_size = 0;
};

}  // namespace sim::setupapi

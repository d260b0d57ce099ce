#include "content_hash.h"

#include <cstdio>
#include <memory>

namespace check {

std::uint64_t ContentHash(const char *bytes, std::size_t size, std::uint64_t hash) {
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= 1099511628211ull;
    }
    return hash;
}

bool FileContentHash(const std::string &hostPath, std::uint64_t *hash) {
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(hostPath.c_str(), "rb"), &std::fclose);
    if (!file) return false;
    char piece[1 << 16];
    *hash = kContentHashStart;
    for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, file.get())) > 0;)
        *hash = ContentHash(piece, got, *hash);
    return std::ferror(file.get()) == 0;
}

}  // namespace check

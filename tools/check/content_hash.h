// A hash of a file's bytes, to know a package's INF in the INF store
// without holding either file's bytes.
#pragma once

#include <cstdint>
#include <cstddef>
#include <string>

namespace check {

// FNV-1a over the bytes, continued from `hash` (the start value by default).
constexpr std::uint64_t kContentHashStart = 14695981039346656037ull;
std::uint64_t ContentHash(const char *bytes, std::size_t size, std::uint64_t hash = kContentHashStart);

// The hash of a host file read in pieces; false when it cannot be read.
bool FileContentHash(const std::string &hostPath, std::uint64_t *hash);

}  // namespace check

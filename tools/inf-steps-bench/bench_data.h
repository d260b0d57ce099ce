// Generated driver packages and INF stores for the INF step benchmarks.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace bench_data {

// A printer INF whose models are "<maker> <i>" for each i in `models`,
// each with its install section, as a vendor writes them.
std::string PrinterInf(const std::string &signature, const std::string &maker,
                       const std::vector<int> &models);
std::vector<int> Range(int first, int count);

// Writes a host file, making its folders; returns its size.
std::size_t WriteFile(const std::string &hostPath, const std::string &bytes);

}  // namespace bench_data

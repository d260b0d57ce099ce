// Files for the language, message and path tests, written by host path
// byte for byte, their folders made as needed.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

inline void WriteHostFile(const std::string &path, const std::string &bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline void MakeHostFolder(const std::string &path) { std::filesystem::create_directories(path); }

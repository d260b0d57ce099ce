#include "support/inf_test_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace inf_testing {

void WriteFile(const std::string &hostPath, const std::string &bytes) {
    const std::filesystem::path path(hostPath);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + hostPath);
}

std::string ReadFile(const std::string &hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string &hostPath) { return std::filesystem::exists(hostPath); }

std::string PrinterInf(const std::string &signature, const std::vector<std::string> &models,
                       const std::string &maker) {
    std::string text = "[Version]\nSignature=\"" + signature +
                       "\"\nClass=Printer\nClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}\n"
                       "Provider=%Mfg%\n\n[Manufacturer]\n%Mfg%=" +
                       maker + "\n\n[" + maker + "]\n";
    for (std::size_t i = 0; i < models.size(); ++i)
        text += "\"" + models[i] + "\" = MODEL" + std::to_string(i) + ".PPD\n";
    text += "\n[Strings]\nMfg=\"" + maker + "\"\n";
    return text;
}

std::string Utf16leWithBom(const std::string &text) {
    std::string bytes = "\xFF\xFE";
    for (char c : text) {
        if (c == '\n') bytes += std::string("\r\0", 2);
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

}  // namespace inf_testing

// Files for the INF tests: host files made and read back, and printer INF
// texts built from a few facts.
#pragma once

#include <string>
#include <vector>

namespace inf_testing {

// Writes `bytes` to a host path, making its folders first.
void WriteFile(const std::string &hostPath, const std::string &bytes);
// The bytes of a host file; empty when there is none.
std::string ReadFile(const std::string &hostPath);
bool Exists(const std::string &hostPath);

// A printer INF: Signature, Class Printer, Provider %Mfg% with Mfg =
// `maker` in [Strings], a [Manufacturer] line naming the models section
// `maker`, and one line per model.
std::string PrinterInf(const std::string &signature, const std::vector<std::string> &models,
                       const std::string &maker = "Talvo");

// `text` (ASCII, LF line ends) as a Windows Unicode file: UTF-16LE with a
// byte-order mark and CR LF line ends.
std::string Utf16leWithBom(const std::string &text);

}  // namespace inf_testing

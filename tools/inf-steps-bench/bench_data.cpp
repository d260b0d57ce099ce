#include "bench_data.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace bench_data {

std::string PrinterInf(const std::string &signature, const std::string &maker,
                       const std::vector<int> &models) {
    std::string text = "; Printer drivers of " + maker +
                       "\r\n\r\n[Version]\r\nSignature=\"" + signature +
                       "\"\r\nClass=Printer\r\nClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}\r\n"
                       "Provider=%Maker%\r\nDriverVer=03/14/2005,2.1.0.0\r\n\r\n"
                       "[Manufacturer]\r\n%Maker%=Models\r\n\r\n[Models]\r\n";
    for (int model : models) {
        const std::string id = std::to_string(model);
        text += "\"" + maker + " " + id + "\" = M" + id + ".PPD, LPTENUM\\" + maker + "_" + id +
                "\r\n";
    }
    for (int model : models) {
        const std::string id = std::to_string(model);
        text += "\r\n[M" + id + ".PPD]\r\nCopyFiles=PSCRIPT, M" + id + "_DATA\r\nDataFile=M" + id +
                ".PPD\r\nDriverFile=PSCRIPT.DLL\r\nConfigFile=PSCRPTUI.DLL\r\n"
                "HelpFile=PSCRIPT.HLP\r\n\r\n[M" + id + "_DATA]\r\nM" + id + ".PPD\r\n";
    }
    text += "\r\n[PSCRIPT]\r\nPSCRIPT.DLL\r\nPSCRPTUI.DLL\r\nPSCRIPT.HLP\r\n"
            "\r\n[DestinationDirs]\r\nDefaultDestDir=66000\r\n"
            "\r\n[SourceDisksNames.x86]\r\n1=%Disk1%,,,\r\n"
            "\r\n[Strings]\r\nMaker=\"" + maker + "\"\r\nDisk1=\"" + maker + " Driver Disk\"\r\n";
    return text;
}

std::vector<int> Range(int first, int count) {
    std::vector<int> values;
    for (int i = 0; i < count; ++i) values.push_back(first + i);
    return values;
}

std::size_t WriteFile(const std::string &hostPath, const std::string &bytes) {
    const std::filesystem::path path(hostPath);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + hostPath);
    return bytes.size();
}

}  // namespace bench_data

#include "inf_checks.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "inf/inf_acceptance.h"
#include "inf/inf_file.h"
#include "inf/inf_paths.h"
#include "inf/setup_api.h"
#include "lang/path_utils.h"
#include "package.h"
#include "sim_bridge.h"

namespace check {
namespace {

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", value);
    return text;
}

std::string Quoted(const std::string &text) { return "\"" + text + "\""; }

std::string Utf8(const CString &text) { return AnsiToUtf8(text, kPackageCodePage); }

// Opens the file with the calls and arguments the INF reader uses, to tell
// why it does not open and whether its layout file joins it.
void Open(CSetupApi &api, const std::string &path, InfFile *inf) {
    DWORD size = 0;
    if (api.SetupGetInfInformation(path.c_str(), INFINFO_INF_NAME_IS_ABSOLUTE, nullptr, 0, &size) && size >= 2) {
        std::vector<DWORD> buffer(std::max<std::size_t>(size, sizeof(SP_INF_INFORMATION)) / sizeof(DWORD) + 1, 0);
        auto *information = reinterpret_cast<SP_INF_INFORMATION *>(buffer.data());
        if (api.SetupGetInfInformation(path.c_str(), INFINFO_INF_NAME_IS_ABSOLUTE, information, size, &size))
            inf->win4Style = information->InfStyle == INF_STYLE_WIN4;
    }

    UINT errorLine = 0;
    SetLastError(0);
    HINF handle = api.SetupOpenInfFile(path.c_str(), nullptr, INF_STYLE_WIN4, &errorLine);
    if (handle == INVALID_HANDLE_VALUE) {
        inf->openError = GetLastError();
        inf->errorLine = errorLine;
        return;
    }
    inf->opens = true;
    inf->layoutFileFound = api.SetupOpenAppendInfFile(nullptr, handle, &errorLine) != FALSE;
    api.SetupCloseInfFile(handle);
}

void ReadVersion(const std::string &path, InfFile *inf) {
    int present = 0;
    CString text;
    inf->classPresent = ReadProfileString(path.c_str(), "Version", "Class", text, present) != FALSE;
    inf->infClass = Utf8(text);
    inf->signaturePresent = ReadProfileString(path.c_str(), "Version", "Signature", text, present) != FALSE;
    inf->signature = Utf8(text);
    if (inf->classPresent && IsPrinterClass(inf->infClass) && inf->signaturePresent)
        for (const Family &family : Families())
            if (IsAcceptedSignature(text, static_cast<WORD>(family.osCode)))
                inf->families.push_back(family.id);

    CString provider, name;
    switch (OemInfName95(path, provider, name)) {
    case OemName95::kOk: inf->oemName95 = Utf8(name); break;
    case OemName95::kNoProvider: inf->oemName95Refusal = "no [Version] Provider"; break;
    case OemName95::kNoStringsText: inf->oemName95Refusal = "no [Strings] text for Provider " + Quoted(Utf8(provider)); break;
    case OemName95::kNotAFileName: inf->oemName95Refusal = "Provider " + Quoted(Utf8(provider)) + " is no file name"; break;
    }
}

void ReadModels(CSetupApi &api, const std::string &path, InfFile *inf) {
    CInfFile reader(api, path.c_str());
    CString text;
    if (reader.GetProvider(text)) inf->provider = Utf8(text);
    if (reader.GetLineText("Version", "LayoutFile", text)) inf->layoutFile = Utf8(text);
    CStringList models;
    inf->modelsRead = reader.GetModelNames(models) != FALSE;
    for (const CString &model : models) inf->models.push_back(Utf8(model));
}

bool AcceptedOn(const InfFile &inf, const char *familyId) {
    for (const std::string &id : inf.families)
        if (id == familyId) return true;
    return false;
}

void Judge(const InfFile &inf, std::vector<Problem> *problems) {
    const auto problem = [&](int line, const std::string &message) { problems->push_back({inf.file, line, message}); };
    if (!inf.opens)
        problem(static_cast<int>(inf.errorLine),
                "the setup API does not open it: error " + Hex(inf.openError) +
                    (inf.errorLine ? " at line " + std::to_string(inf.errorLine) : std::string()));
    else if (!inf.win4Style)
        problem(0, "not a Windows 95-style INF: the Windows NT 4.0 step reads no models from it");
    if (!inf.classPresent) {
        problem(0, "no [Version] Class: every system stops with IDS_ERR_READINF");
        return;
    }
    if (!IsPrinterClass(inf.infClass)) return;
    if (!inf.signaturePresent) {
        problem(0, "no [Version] Signature: every system stops with IDS_ERR_READINF");
        return;
    }
    if (inf.families.empty()) problem(0, "Signature " + Quoted(inf.signature) + " is accepted on no system");
    if ((AcceptedOn(inf, "95") || AcceptedOn(inf, "98")) && inf.oemName95.empty())
        problem(0, inf.oemName95Refusal + ": the Windows 95/98 copy to Inf\\Other is refused (IDS_ERR_READINF)");
    if (inf.opens && !inf.modelsRead)
        problem(0, "no model names: the Windows NT 4.0 step fails with IDS_ERR_READINF");
    else if (inf.opens && inf.models.empty())
        problem(0, "the models section lists no model");
}

}  // namespace

std::vector<InfFile> CheckInfFiles(const std::string &driverFolder, std::vector<Problem> *problems,
                                   const std::function<void(std::size_t, std::size_t)> &progress) {
    std::vector<InfFile> infs;
    const CString folder = InPackage(driverFolder);
    CStringList found;
    FindFilesRecursive(folder, "*.inf", found);

    char windowsFolder[MAX_PATH] = {};
    GetWindowsFolder(windowsFolder, MAX_PATH);
    BOOL loaded = FALSE;
    CSetupApi api(loaded, windowsFolder);
    std::size_t done = 0;
    for (const CString &path : found) {
        progress(done++, found.size());
        if (IsExistingFolder(path)) continue;
        InfFile inf;
        inf.file = WithinPackage(path);
        Open(api, path, &inf);
        ReadVersion(path, &inf);
        if (inf.opens) ReadModels(api, path, &inf);
        Judge(inf, problems);
        infs.push_back(inf);
    }
    progress(found.size(), found.size());
    return infs;
}

}  // namespace check

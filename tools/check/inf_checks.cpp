#include "inf_checks.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "cancellation.h"
#include "content_hash.h"
#include "error_names.h"
#include "inf_lines.h"

#include "inf/inf_acceptance.h"
#include "inf/inf_file.h"
#include "inf/inf_paths.h"
#include "inf/setup_api.h"
#include "lang/path_utils.h"
#include "package.h"
#include "message_guide.h"
#include "sim_bridge.h"

namespace check {
namespace {

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

// The file's bytes as the host gives them; an error here stops every
// reader, the installer's too.
std::string ReadHostFile(const std::string &hostPath, InfFile *inf) {
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(hostPath.c_str(), "rb"), &std::fclose);
    std::string bytes;
    if (file) {
        // Read into a string of the file's size: grown piece by piece, a
        // 50 MB INF would briefly take twice that.
        struct stat info;
        if (::fstat(fileno(file.get()), &info) == 0 && info.st_size > 0)
            bytes.reserve(static_cast<std::size_t>(info.st_size));
        char buffer[1 << 16];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) bytes.append(buffer, got);
    }
    if (!file || std::ferror(file.get())) {
        inf->readError = errno == EACCES || errno == EPERM ? win::ERROR_ACCESS_DENIED
                         : errno == ENOENT                ? win::ERROR_FILE_NOT_FOUND
                                                          : win::ERROR_INVALID_DATA;
        return std::string();
    }
    inf->size = bytes.size();
    inf->hash = ContentHash(bytes.data(), bytes.size());
    return bytes;
}

// Where [Version]'s keys stand, to name a cause's line.
void FindVersionLines(const std::string &text, InfFile *inf) {
    inf->classLine = LineOfKey(text, "Version", "Class");
    inf->signatureLine = LineOfKey(text, "Version", "Signature");
    inf->providerLine = LineOfKey(text, "Version", "Provider");
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

// The first %token% left in a value: a token [Strings] has no text for,
// shown raw; empty when none is left.
std::string UndefinedToken(const std::string &value) {
    const std::size_t open = value.find('%');
    if (open == std::string::npos) return std::string();
    const std::size_t close = value.find('%', open + 1);
    return close == std::string::npos || close == open + 1 ? std::string() : value.substr(open, close - open + 1);
}

// Reads the file with the installer's INF reader, as its Windows NT 4.0
// step does; only a file the reader does not open (or whose layout file
// it may not find) is opened again, to tell why. The model names are
// counted as they are read, not held: a driver CD's INF may list hundreds
// of thousands.
void ReadModels(CSetupApi &api, const std::string &path, const std::function<std::string()> &readText,
                InfFile *inf, std::vector<Problem> *problems) {
    CString section;
    std::vector<std::string> tokens;  // each %token% left in a model name, once
    {
        CInfFile reader(api, path.c_str());
        CString text;
        if (!reader.GetLineText("Version", "Signature", text)) {
            Open(api, path, inf);
            return;
        }
        inf->opens = true;
        if (reader.GetProvider(text)) inf->provider = Utf8(text);
        if (reader.GetLineText("Version", "LayoutFile", text)) inf->layoutFile = Utf8(text);
        if (!inf->layoutFile.empty()) Open(api, path, inf);
        const auto count = [&](CString &&model) {
            ++inf->modelCount;
            if (inf->models.size() < kModelsListed) inf->models.push_back(Utf8(model));
            const std::string token = UndefinedToken(model);
            if (!token.empty() && std::find(tokens.begin(), tokens.end(), token) == tokens.end())
                tokens.push_back(token);
        };
        inf->modelsRead = reader.ForEachModelName(count) != FALSE;
        reader.GetModelSection(section);
    }

    const std::string providerToken = UndefinedToken(inf->provider);
    if (!providerToken.empty())
        problems->push_back({"inf-token-undefined", inf->file, inf->providerLine, {}, {},
                             "Provider " + providerToken + " has no [Strings] text: the wizard shows " + providerToken});
    if (tokens.empty()) return;
    const std::string bytes = readText();  // read again only to name a token's line
    for (const std::string &token : tokens)
        problems->push_back({"inf-token-undefined", inf->file, LineHolding(bytes, section, token), {}, {},
                             "model name " + Utf8(token) + " has no [Strings] text: the wizard's list shows " +
                                 Utf8(token)});
}

bool AcceptedOn(const InfFile &inf, const char *familyId) {
    for (const std::string &id : inf.families)
        if (id == familyId) return true;
    return false;
}

void Judge(const InfFile &inf, std::vector<Problem> *problems) {
    const auto problem = [&](const char *code, int line, const std::string &message,
                             std::vector<std::string> families = {}) {
        problems->push_back({code, inf.file, line, families, {}, message});
    };
    if (inf.readError) {
        problem("inf-unreadable", 0,
                "cannot be read: " + DescribeError(inf.readError) +
                    "; the installer's [Version] check reads nothing from it and every system stops with " +
                    KeyWithText("IDS_ERR_READINF"));
        return;
    }
    if (!inf.opens)
        problem("inf-does-not-open", static_cast<int>(inf.errorLine),
                "the setup API does not open it: " + DescribeError(inf.openError) +
                    (inf.errorLine ? " at line " + std::to_string(inf.errorLine) : std::string()));
    else if (!inf.win4Style)
        problem("inf-not-win4-style", 0, "not a Windows 95-style INF: the Windows NT 4.0 step reads no models from it",
                {"nt4"});
    if (!inf.classPresent) {
        problem("inf-class-missing", inf.classLine,
                "no [Version] Class (or an empty one): every system stops with " + KeyWithText("IDS_ERR_READINF"));
        return;
    }
    if (!IsPrinterClass(inf.infClass)) return;
    if (!inf.signaturePresent) {
        problem("inf-signature-missing", inf.signatureLine,
                "printer INF without [Version] Signature: every system stops with " + KeyWithText("IDS_ERR_READINF"));
        return;
    }
    if (inf.families.empty())
        problem("inf-signature-unknown", inf.signatureLine,
                "Signature " + Quoted(inf.signature) +
                    " is accepted on no system: Windows 95/98/Me need \"$CHICAGO$\", Windows NT \"$Windows NT$\"");
    if ((AcceptedOn(inf, "95") || AcceptedOn(inf, "98")) && inf.oemName95.empty())
        problem("inf-provider-95-name", 0,
                inf.oemName95Refusal + ": the Windows 95/98 copy to Inf\\Other is refused with " +
                    KeyWithText("IDS_ERR_READINF"),
                {"95", "98"});
    if (inf.opens && !inf.modelsRead)
        problem("inf-models-unreadable", 0,
                "no model names: the Windows NT 4.0 step fails with " + KeyWithText("IDS_ERR_READINF"), {"nt4"});
    else if (inf.opens && inf.modelCount == 0)
        problem("inf-models-empty", 0, "the models section lists no model");
}

}  // namespace

void CheckDriverFolderName(const std::string &driverFolder, const std::vector<Language> &languages,
                           std::vector<Problem> *problems) {
    std::map<unsigned, std::vector<std::string>> unwritable;  // code page -> languages
    for (const Language &language : languages)
        if (AnsiToUtf8(Utf8ToAnsi(driverFolder, language.codePage), language.codePage) != driverFolder)
            unwritable[language.codePage].push_back(language.code);
    for (const auto &page : unwritable) {
        std::string codes;
        for (const std::string &code : page.second) codes += (codes.empty() ? "" : " ") + code;
        problems->push_back({"driver-folder-name", driverFolder, 0, {}, page.second,
                             "code page " + std::to_string(page.first) + " (" + codes +
                                 ") cannot write this name: the installer there is given another folder; "
                                 "name it in ASCII"});
    }
}

std::vector<InfFile> CheckInfFiles(const std::string &package, const std::string &driverFolder,
                                   std::vector<Problem> *problems,
                                   const std::function<void(std::size_t, std::size_t)> &progress) {
    std::vector<InfFile> infs;
    // The installer's machine reads names in its ANSI code page.
    const CString folder = InPackage(Utf8ToAnsi(driverFolder, kPackageCodePage));
    CStringList found;
    FindFilesRecursive(folder, "*.inf", found);

    char windowsFolder[MAX_PATH] = {};
    GetWindowsFolder(windowsFolder, MAX_PATH);
    BOOL loaded = FALSE;
    CSetupApi api(loaded, windowsFolder);
    std::size_t done = 0;
    for (const CString &path : found) {
        if (CancellationRequested()) break;
        progress(done++, found.size());
        if (IsExistingFolder(path)) continue;
        InfFile inf;
        inf.file = WithinPackage(path);
        std::string hostPath = inf.file;
        std::replace(hostPath.begin(), hostPath.end(), '\\', '/');
        const std::string host = package + "/" + hostPath;
        const auto text = [&] {
            InfFile ignored;
            return InfLineText(ReadHostFile(host, &ignored));
        };
        std::string bytes = InfLineText(ReadHostFile(host, &inf));
        if (!inf.readError) {
            // The host's copy, the profile reader's and the setup API's are
            // held in turn, never two at once: a large INF takes its size
            // again in each.
            FindVersionLines(bytes, &inf);
            std::string().swap(bytes);
            ReadVersion(path, &inf);
            ReadModels(api, path, text, &inf, problems);
        }
        Judge(inf, problems);
        infs.push_back(inf);
    }
    progress(found.size(), found.size());
    return infs;
}

}  // namespace check

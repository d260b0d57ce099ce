#include "problem_codes.h"

namespace check {

const std::vector<ProblemKind> &ProblemKinds() {
    constexpr Severity E = Severity::kError;
    constexpr Severity W = Severity::kWarning;
    static const std::vector<ProblemKind> kinds = {
        {"language-table-invalid", E, "LANGSDEF.INI cannot be used: every system stops with \"Resource file not found.\""},
        {"message-file-missing", E, "no message file of any language: every system stops with \"Resource file not found.\""},
        {"english-file-missing", E, "no RES\\PSDI_ENG.IRC: a system whose language the package lacks stops with \"Resource file not found.\""},
        {"message-file-unused", W, "a message file no language of the table uses"},
        {"message-file-unreadable", E, "a message file that cannot be read to its end"},
        {"message-file-utf16", E, "a message file saved as UTF-16: the installer reads no text from it"},
        {"message-file-utf8", W, "a message file of a code-page language saved as UTF-8: its boxes show garbled text"},
        {"message-section-missing", E, "no [String] section: the installer shows no message in this language"},
        {"message-key-missing", W, "a key the installer can show has no text: that box is not shown"},
        {"message-lines-undecodable", W, "lines that are no text of the language's code page"},
        {"notice-file-unreadable", W, "a notice file that cannot be read: no notice is shown"},
        {"notice-file-utf16", W, "a notice file saved as UTF-16: the notice shows garbled text"},
        {"notice-file-utf8", W, "a notice file of a code-page language saved as UTF-8: the notice shows garbled text"},
        {"notice-lines-undecodable", W, "notice lines that are no text of the language's code page"},
        {"inf-unreadable", E, "an INF file the installer cannot read: every system stops with IDS_ERR_READINF"},
        {"inf-does-not-open", W, "an INF file the setup API does not open (a syntax error)"},
        {"inf-not-win4-style", W, "not a Windows 95-style INF: the Windows NT 4.0 step reads no models from it"},
        {"inf-class-missing", E, "no [Version] Class: every system stops with IDS_ERR_READINF"},
        {"inf-class-not-printer", E, "the only INF files of a family are of another class than Printer"},
        {"inf-signature-missing", E, "a printer INF without [Version] Signature: every system stops with IDS_ERR_READINF"},
        {"inf-signature-unknown", E, "a Signature no Windows family accepts"},
        {"inf-signature-wrong-family", E, "a family finds no INF file: the Signatures are those of other families"},
        {"inf-provider-95-name", E, "Windows 95/98/Me cannot copy the INF to Inf\\Other: its Provider is no file name"},
        {"inf-models-unreadable", E, "no model names: the Windows NT 4.0 step stops with IDS_ERR_READINF"},
        {"inf-models-empty", W, "the models section lists no model"},
        {"inf-token-undefined", W, "a %token% with no [Strings] text: the wizard shows the raw %token%"},
        {"driver-folder-name", E, "the driver folder's name cannot be written in a system language's code page: the installer there finds no INF file"},
        {"run-message", E, "the installer stopped with a message box"},
        {"run-silent", E, "the installer stopped without a message"},
        {"run-no-inf", E, "the wizard opened but found no INF file"},
        {"run-timeout", E, "the installer did not end within a minute"},
        {"run-error", E, "the run of the installer could not be made"},
    };
    return kinds;
}

Severity SeverityOf(const std::string &code) {
    for (const ProblemKind &kind : ProblemKinds())
        if (code == kind.code) return kind.severity;
    return Severity::kError;
}

bool Fails(const Report &report, const Problem &problem) {
    return SeverityOf(problem.code) >= report.failOn;
}

bool Fails(const Report &report) {
    for (const Problem &problem : report.problems)
        if (Fails(report, problem)) return true;
    return false;
}

const char *SeverityName(Severity severity) { return severity == Severity::kError ? "error" : "warning"; }

}  // namespace check

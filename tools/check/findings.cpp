#include "findings.h"

#include <algorithm>

#include "framework/afx.h"
#include "inf/inf_acceptance.h"
#include "message_guide.h"
#include "res/resource.h"

namespace check {
namespace {

constexpr const char *kNoticeStyle = "0x40";  // MB_OK | MB_ICONINFORMATION

std::string FirstLine(const std::string &text) { return text.substr(0, text.find('\n')); }

std::string KeyOf(const std::map<std::string, std::string> &texts, const std::string &line) {
    for (const auto &entry : texts)
        if (entry.second == line) return entry.first;
    return std::string();
}

const Box *FirstMessage(const Cell &cell) {
    for (const Box &box : cell.boxes)
        if (box.key != kNoticeBox) return &box;
    return nullptr;
}

std::string Consequence(const Cell &cell, const std::string &mark) {
    const std::string wParam = cell.wParam.empty() ? "nothing is posted to the parent"
                                                   : "the parent receives wParam " + cell.wParam;
    if (mark == "silent") return "the installer stops without a message; " + wParam;
    if (mark == "no-inf") return "the wizard opens but finds no INF file through DevicePath";
    if (mark == "timeout") return "the installer did not end within a minute";
    if (mark == "error") return cell.runError;
    const Box *box = FirstMessage(cell);
    std::string shown = (mark == "message" ? std::string("a message") : KeyWithText(mark)) + " shown";
    if (box && box->text.find('\n') != std::string::npos)
        shown += " (" + box->text.substr(box->text.find('\n') + 1) + ")";
    return shown + (cell.wizardOpened ? "" : ", the wizard does not open") + "; " + wParam;
}

}  // namespace

void NameBoxes(const MessageTexts &texts, std::vector<Cell> *cells) {
    const std::string notFound = AfxLoadString(IDS_RESOURCE_FILE_NOT_FOUND);
    for (Cell &cell : *cells) {
        for (Box &box : cell.boxes) {
            const std::string line = FirstLine(box.text);
            if (box.style == kNoticeStyle) {
                box.key = kNoticeBox;
                continue;
            }
            if (line == notFound) {
                box.key = kResourceFileNotFoundBox;
                continue;
            }
            // The run's own language first; it may have fallen back to another.
            const auto own = texts.find(cell.language);
            if (own != texts.end()) box.key = KeyOf(own->second, line);
            for (auto other = texts.begin(); box.key.empty() && other != texts.end(); ++other)
                box.key = KeyOf(other->second, line);
        }
    }
}

void NameStoredProviders(const std::vector<InfFile> &infs, std::vector<Cell> *cells) {
    for (Cell &cell : *cells)
        for (StoredInf &stored : cell.infStore)
            for (const InfFile &inf : infs)
                if (inf.file == stored.copyOf) stored.provider = inf.provider;
}

std::string CellMark(const Cell &cell) {
    if (!cell.runError.empty()) return "error";
    if (cell.timedOut) return "timeout";
    if (const Box *box = FirstMessage(cell)) return box->key.empty() ? "message" : box->key;
    if (!cell.wizardOpened) return "silent";
    return cell.wizardInfs.empty() ? "no-inf" : "ok";
}

namespace {

const char *CodeOfMark(const std::string &mark) {
    if (mark == "error") return "run-error";
    if (mark == "timeout") return "run-timeout";
    if (mark == "silent") return "run-silent";
    if (mark == "no-inf") return "run-no-inf";
    return "run-message";
}

bool Accepts(const InfFile &inf, const std::string &family) {
    return std::find(inf.families.begin(), inf.families.end(), family) != inf.families.end();
}

bool Family95(const std::string &family) { return family == "95" || family == "98"; }

// What a family's [Version] check asks of a printer INF.
std::string SignatureWanted(const std::string &family) {
    return Family95(family) ? "Windows 95/98/Me need \"$CHICAGO$\" (or \"$Windows 95$\")"
                            : "Windows NT 4.0 and later need \"$Windows NT$\"";
}

// Why the families' runs found no INF file: each INF of the driver folder
// that their check passed over, at the line that made it do so; at most a
// few, then a count. The families are of one kind (95 or NT): they ask the
// same of a Signature.
void NameSourcePathCausesOfKind(const Report &report, const std::vector<std::string> &families,
                                std::vector<Problem> *problems) {
    constexpr std::size_t kNamed = 5;
    const bool anyPrinter = std::any_of(report.infs.begin(), report.infs.end(),
                                        [](const InfFile &inf) { return inf.classPresent && IsPrinterClass(inf.infClass); });
    // A file the families accept names no cause here: what stops them lies
    // elsewhere (the driver folder's name, say).
    if (std::any_of(report.infs.begin(), report.infs.end(),
                    [&](const InfFile &inf) { return Accepts(inf, families.front()); }))
        return;
    std::size_t named = 0, more = 0;
    for (const InfFile &inf : report.infs) {
        if (inf.readError || !inf.classPresent) continue;
        Problem cause;
        cause.file = inf.file;
        cause.families = families;
        if (!IsPrinterClass(inf.infClass)) {
            if (anyPrinter) continue;
            cause.code = "inf-class-not-printer";
            cause.line = inf.classLine;
            cause.message = "Class \"" + inf.infClass + "\": the installer takes only INF files of Class \"Printer\"";
        } else if (inf.signaturePresent && !Accepts(inf, families.front())) {
            cause.code = "inf-signature-wrong-family";
            cause.line = inf.signatureLine;
            cause.message = "Signature \"" + inf.signature + "\": " + SignatureWanted(families.front());
        } else {
            continue;
        }
        if (named++ < kNamed) problems->push_back(cause);
        else ++more;
    }
    if (more)
        problems->push_back({"inf-signature-wrong-family", "", 0, families, {},
                             std::to_string(more) + " more INF files like these"});
}

void NameSourcePathCauses(const Report &report, const std::vector<std::string> &families,
                          std::vector<Problem> *problems) {
    std::vector<std::string> kind95, kindNt;
    for (const std::string &family : families) (Family95(family) ? kind95 : kindNt).push_back(family);
    if (!kind95.empty()) NameSourcePathCausesOfKind(report, kind95, problems);
    if (!kindNt.empty()) NameSourcePathCausesOfKind(report, kindNt, problems);
}

}  // namespace

void JudgeCells(const Report &report, std::vector<Problem> *problems) {
    struct Finding {
        std::string mark;
        std::vector<std::string> families;
        std::vector<std::string> languages;
        std::string consequence;
    };
    // Families that fail alike (same mark, languages and consequence) share
    // one line.
    std::vector<Finding> findings;
    for (const Family &family : report.families) {
        std::vector<std::string> marks;  // in order of first appearance
        std::map<std::string, std::vector<const Cell *>> byMark;
        for (const Cell &cell : report.cells) {
            if (cell.family != family.id) continue;
            const std::string mark = CellMark(cell);
            if (mark == "ok") continue;
            if (byMark[mark].empty()) marks.push_back(mark);
            byMark[mark].push_back(&cell);
        }
        for (const std::string &mark : marks) {
            Finding finding{mark, {family.id}, {}, Consequence(*byMark[mark].front(), mark)};
            for (const Cell *cell : byMark[mark]) finding.languages.push_back(cell->language);
            const auto same = std::find_if(findings.begin(), findings.end(), [&](const Finding &other) {
                return other.mark == finding.mark && other.languages == finding.languages &&
                       other.consequence == finding.consequence;
            });
            if (same != findings.end()) same->families.push_back(family.id);
            else findings.push_back(finding);
        }
    }
    for (const Finding &finding : findings) {
        const bool all = finding.languages.size() == report.languages.size() && finding.languages.size() > 1;
        std::string languages;
        for (const std::string &language : finding.languages) languages += (languages.empty() ? "" : " ") + language;
        problems->push_back({CodeOfMark(finding.mark), "", 0, finding.families, finding.languages,
                             (all ? std::string("all languages") : languages) + ": " + finding.consequence});
        if (finding.mark == kSourcePathBox) NameSourcePathCauses(report, finding.families, problems);
    }
}

void KeepCheckedFamilies(const std::vector<Family> &families, std::vector<Problem> *problems) {
    const auto checked = [&](const std::string &id) {
        return std::any_of(families.begin(), families.end(), [&](const Family &family) { return family.id == id; });
    };
    problems->erase(std::remove_if(problems->begin(), problems->end(),
                                   [&](const Problem &problem) {
                                       return !problem.families.empty() &&
                                              std::none_of(problem.families.begin(), problem.families.end(), checked);
                                   }),
                    problems->end());
}

}  // namespace check

#include "report_text.h"

#include <algorithm>
#include <string>

#include "findings.h"
#include "problem_codes.h"

namespace check {
namespace {

constexpr std::size_t kListedInfs = 10;
// Files named in one cell of the table; more are counted.
constexpr std::size_t kNamedInCell = 3;

std::string Pad(const std::string &text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string Counted(std::size_t count, const std::string &noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string BaseName(const std::string &path) { return path.substr(path.find_last_of('\\') + 1); }

std::string Joined(const std::vector<std::string> &parts, const char *separator) {
    std::string text;
    for (const std::string &part : parts) text += (text.empty() ? "" : separator) + part;
    return text;
}

// Up to kNamedInCell parts, then "+N more".
std::string Listed(const std::vector<std::string> &parts) {
    if (parts.size() <= kNamedInCell) return Joined(parts, " ");
    const std::vector<std::string> named(parts.begin(), parts.begin() + kNamedInCell - 1);
    return Joined(named, " ") + " +" + std::to_string(parts.size() - named.size()) + " more";
}

const Cell *FirstCellOf(const Report &report, const std::string &family) {
    const Cell *first = nullptr;
    for (const Cell &cell : report.cells) {
        if (cell.family != family) continue;
        if (cell.wizardOpened) return &cell;
        if (!first) first = &cell;
    }
    return first;
}

std::string WizardSaw(const Cell *cell) {
    if (!cell || cell->wizardInfs.empty()) return "-";
    std::vector<std::string> names;
    for (const std::string &inf : cell->wizardInfs) names.push_back(BaseName(inf));
    return Listed(names);
}

std::string StoreText(const Cell *cell) {
    if (!cell || cell->infStore.empty()) return "-";
    std::vector<std::string> files;
    for (const StoredInf &stored : cell->infStore) {
        std::string text = stored.path.substr(std::string("C:\\WINDOWS\\").size());
        if (!stored.provider.empty()) text += " (" + stored.provider + ")";
        files.push_back(text);
    }
    return Listed(files);
}

class Printer {
public:
    Printer(bool colour, std::FILE *out) : m_colour(colour), m_out(out) {}
    void Line(const std::string &text) {
        std::fprintf(m_out, "%s\n", text.substr(0, text.find_last_not_of(' ') + 1).c_str());
    }
    std::string Mark(const std::string &mark, std::size_t width, bool ok) const {
        const std::string padded = Pad(mark, width);
        if (!m_colour) return padded;
        return (ok ? "\033[32m" : "\033[31m") + mark + "\033[0m" + padded.substr(mark.size());
    }
    std::string Severity(const std::string &text, check::Severity severity) const {
        if (!m_colour) return text;
        return (severity == check::Severity::kError ? "\033[31m" : "\033[33m") + text + "\033[0m";
    }
    std::string Bold(const std::string &text) const { return m_colour ? "\033[1m" + text + "\033[0m" : text; }

private:
    bool m_colour;
    std::FILE *m_out;
};

std::string Cut(const std::string &text, std::size_t width) {
    return width == 0 || text.size() <= width ? text : text.substr(0, width > 3 ? width - 3 : width) + "...";
}

// The table of marks, families as rows and languages as columns, then what
// the wizard saw and the INF store held. On a terminal too narrow for it
// all, those two go below the table, and long marks become numbers with a
// legend below.
void PrintMatrix(const Report &report, std::size_t terminalWidth, Printer &printer) {
    std::size_t familyWidth = 0;
    for (const Family &family : report.families) familyWidth = std::max(familyWidth, family.name.size());
    std::vector<std::string> codes;
    for (const Language &language : report.languages) codes.push_back(language.code + (language.fallback ? "*" : ""));
    std::vector<std::vector<std::string>> marks(report.families.size(), std::vector<std::string>(codes.size(), "-"));
    for (std::size_t row = 0; row < report.families.size(); ++row)
        for (std::size_t i = 0; i < report.languages.size(); ++i)
            for (const Cell &cell : report.cells)
                if (cell.family == report.families[row].id && cell.language == report.languages[i].code)
                    marks[row][i] = CellMark(cell);
    std::vector<std::string> saw, store;
    std::size_t sawWidth = std::string("wizard saw").size(), storeWidth = std::string("INF store").size();
    for (const Family &family : report.families) {
        saw.push_back(WizardSaw(FirstCellOf(report, family.id)));
        store.push_back(StoreText(FirstCellOf(report, family.id)));
        sawWidth = std::max(sawWidth, saw.back().size());
        storeWidth = std::max(storeWidth, store.back().size());
    }
    const auto widthsOf = [&](const std::vector<std::vector<std::string>> &grid) {
        std::vector<std::size_t> widths;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            std::size_t width = codes[i].size();
            for (const auto &row : grid) width = std::max(width, row[i].size());
            widths.push_back(width + 2);
        }
        return widths;
    };
    std::vector<std::size_t> widths = widthsOf(marks);
    const auto tableWidth = [&] {
        std::size_t width = familyWidth + 2;
        for (std::size_t w : widths) width += w;
        return width;
    };
    const bool fits = terminalWidth == 0 || tableWidth() + sawWidth + 2 + storeWidth <= terminalWidth;
    std::vector<std::string> legend;
    if (!fits && tableWidth() > terminalWidth) {
        for (auto &row : marks)
            for (std::string &mark : row) {
                if (mark == "ok" || mark == "-") continue;
                auto found = std::find(legend.begin(), legend.end(), mark);
                if (found == legend.end()) found = legend.insert(legend.end(), mark);
                mark = std::to_string(found - legend.begin() + 1);
            }
        widths = widthsOf(marks);
    }

    std::string header = Pad("", familyWidth + 2);
    for (std::size_t i = 0; i < codes.size(); ++i) header += Pad(codes[i], widths[i]);
    printer.Line(printer.Bold(fits ? header + Pad("wizard saw", sawWidth + 2) + "INF store" : header));
    for (std::size_t row = 0; row < report.families.size(); ++row) {
        std::string line = Pad(report.families[row].name, familyWidth + 2);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            const std::string &mark = marks[row][i];
            const bool ok = mark == "ok" || mark == "-";
            line += printer.Mark(mark, widths[i], ok);
        }
        printer.Line(fits ? line + Pad(saw[row], sawWidth + 2) + store[row] : line);
    }
    for (std::size_t i = 0; i < legend.size(); ++i) printer.Line(Cut("  " + std::to_string(i + 1) + " = " + legend[i], terminalWidth));
    if (!fits)
        for (std::size_t row = 0; row < report.families.size(); ++row)
            printer.Line(Cut(report.families[row].name + ": wizard saw " + saw[row] + "; INF store " + store[row],
                             terminalWidth));
    if (std::any_of(report.languages.begin(), report.languages.end(), [](const Language &l) { return l.fallback; }))
        printer.Line(Cut("* a system language the package has no message file for: the installer falls back",
                         terminalWidth));
}

std::string InfLine(const InfFile &inf) {
    if (inf.readError) return inf.file + "  cannot be read";
    if (!inf.opens && !inf.classPresent) return inf.file + "  does not open";
    std::string line = inf.file + "  " + (inf.classPresent ? inf.infClass : "(no Class)");
    line += "  " + (inf.signaturePresent ? inf.signature : std::string("(no Signature)"));
    line += "  families: " + (inf.families.empty() ? std::string("none") : Joined(inf.families, " "));
    if (!inf.provider.empty()) line += "  provider " + inf.provider;
    line += "  " + Counted(inf.modelCount, "model");
    if (!inf.layoutFile.empty()) line += "  layout " + inf.layoutFile + (inf.layoutFileFound ? "" : " not found");
    return line;
}

std::string Where(const Report &report, const Problem &problem) {
    if (!problem.file.empty()) return problem.file + (problem.line ? ":" + std::to_string(problem.line) : "");
    if (problem.families.size() == report.families.size() && report.families.size() > 1) return "every family";
    std::string names;
    for (const std::string &id : problem.families)
        for (const Family &family : report.families)
            if (family.id == id) names += (names.empty() ? "" : ", ") + family.name;
    return names.empty() ? "package" : names;
}

}  // namespace

void PrintText(const Report &report, bool colour, std::size_t terminalWidth, std::FILE *out) {
    Printer printer(colour, out);
    printer.Line("Package " + report.package +
                 (report.driverFolder.empty() ? std::string() : "  driver folder " + report.driverFolder));
    printer.Line("Language table: " + report.languageTable.source + (report.languageTable.valid ? "" : " (invalid)"));
    if (report.infs.size() <= kListedInfs) {
        for (const InfFile &inf : report.infs) printer.Line(Cut("  " + InfLine(inf), terminalWidth));
    } else {
        printer.Line("INF files: " + std::to_string(report.infs.size()));
    }
    printer.Line("");
    PrintMatrix(report, terminalWidth, printer);
    printer.Line("");

    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f s", report.seconds);
    const std::string timing = Counted(report.cells.size(), "run") + ", " + Counted(report.infs.size(), "INF file") +
                               ", " + Counted(report.languages.size(), "language") + " in " + seconds;
    if (report.problems.empty()) {
        printer.Line("No problems found: " + timing + ".");
        return;
    }
    std::size_t errors = 0;
    for (const Problem &problem : report.problems) errors += SeverityOf(problem.code) == Severity::kError;
    printer.Line(printer.Bold("Problems: " + Counted(errors, "error") + ", " +
                              Counted(report.problems.size() - errors, "warning")));
    for (const Problem &problem : report.problems) {
        const Severity severity = SeverityOf(problem.code);
        printer.Line("  " + printer.Severity(Pad(SeverityName(severity), 8), severity) + Where(report, problem) + ": " +
                     problem.message + "  [" + problem.code + "]");
    }
    printer.Line(timing + (Fails(report) ? "." : "; nothing at or above --fail-on " +
                                                     std::string(SeverityName(report.failOn)) + "."));
}

}  // namespace check

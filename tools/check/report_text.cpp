#include "report_text.h"

#include <algorithm>
#include <string>

#include "findings.h"

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
    void Line(const std::string &text) { std::fprintf(m_out, "%s\n", text.c_str()); }
    std::string Mark(const std::string &mark, std::size_t width) const {
        const std::string padded = Pad(mark, width);
        if (!m_colour) return padded;
        return (mark == "ok" ? "\033[32m" : "\033[31m") + mark + "\033[0m" + padded.substr(mark.size());
    }
    std::string Bold(const std::string &text) const { return m_colour ? "\033[1m" + text + "\033[0m" : text; }

private:
    bool m_colour;
    std::FILE *m_out;
};

void PrintMatrix(const Report &report, Printer &printer) {
    std::size_t familyWidth = 0;
    for (const Family &family : report.families) familyWidth = std::max(familyWidth, family.name.size());
    std::vector<std::size_t> widths;
    for (const Language &language : report.languages) {
        std::size_t width = language.code.size();
        for (const Cell &cell : report.cells)
            if (cell.language == language.code) width = std::max(width, CellMark(cell).size());
        widths.push_back(width + 2);
    }
    std::vector<std::string> saw, store;
    std::size_t sawWidth = std::string("wizard saw").size();
    for (const Family &family : report.families) {
        saw.push_back(WizardSaw(FirstCellOf(report, family.id)));
        store.push_back(StoreText(FirstCellOf(report, family.id)));
        sawWidth = std::max(sawWidth, saw.back().size());
    }

    std::string header = Pad("", familyWidth + 2);
    for (std::size_t i = 0; i < report.languages.size(); ++i) header += Pad(report.languages[i].code, widths[i]);
    printer.Line(printer.Bold(header + Pad("wizard saw", sawWidth + 2) + "INF store"));
    for (std::size_t row = 0; row < report.families.size(); ++row) {
        const Family &family = report.families[row];
        std::string line = Pad(family.name, familyWidth + 2);
        for (std::size_t i = 0; i < report.languages.size(); ++i) {
            std::string mark = "-";
            for (const Cell &cell : report.cells)
                if (cell.family == family.id && cell.language == report.languages[i].code) mark = CellMark(cell);
            line += printer.Mark(mark, widths[i]);
        }
        printer.Line(line + Pad(saw[row], sawWidth + 2) + store[row]);
    }
}

std::string InfLine(const InfFile &inf) {
    if (!inf.opens && !inf.classPresent) return inf.file + "  does not open";
    std::string line = inf.file + "  " + (inf.classPresent ? inf.infClass : "(no Class)");
    line += "  " + (inf.signaturePresent ? inf.signature : std::string("(no Signature)"));
    line += "  families: " + (inf.families.empty() ? std::string("none") : Joined(inf.families, " "));
    if (!inf.provider.empty()) line += "  provider " + inf.provider;
    line += "  " + Counted(inf.models.size(), "model");
    if (!inf.layoutFile.empty()) line += "  layout " + inf.layoutFile + (inf.layoutFileFound ? "" : " not found");
    return line;
}

}  // namespace

void PrintText(const Report &report, bool colour, std::FILE *out) {
    Printer printer(colour, out);
    printer.Line("Package " + report.package +
                 (report.driverFolder.empty() ? std::string() : "  driver folder " + report.driverFolder));
    printer.Line("Language table: " + report.languageTable.source + (report.languageTable.valid ? "" : " (invalid)"));
    if (report.infs.size() <= kListedInfs) {
        for (const InfFile &inf : report.infs) printer.Line("  " + InfLine(inf));
    } else {
        printer.Line("INF files: " + std::to_string(report.infs.size()));
    }
    printer.Line("");
    PrintMatrix(report, printer);
    printer.Line("");

    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f s", report.seconds);
    const std::string timing = Counted(report.cells.size(), "run") + ", " + Counted(report.infs.size(), "INF file") +
                               ", " + Counted(report.languages.size(), "language") + " in " + seconds;
    if (report.problems.empty()) {
        printer.Line("No problems found: " + timing + ".");
        return;
    }
    printer.Line(printer.Bold("Problems (" + std::to_string(report.problems.size()) + "):"));
    for (const Problem &problem : report.problems)
        printer.Line("  " + problem.file + (problem.line ? ":" + std::to_string(problem.line) : "") + ": " +
                     problem.message);
    printer.Line(timing + ".");
}

}  // namespace check

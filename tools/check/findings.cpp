#include "findings.h"

#include "framework/afx.h"
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
    std::string shown = mark + " shown";
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

void JudgeCells(const Report &report, std::vector<Problem> *problems) {
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
            const std::vector<const Cell *> &cells = byMark[mark];
            std::string languages;
            if (cells.size() == report.languages.size() && cells.size() > 1) {
                languages = "all languages";
            } else {
                for (const Cell *cell : cells) languages += (languages.empty() ? "" : " ") + cell->language;
            }
            problems->push_back({family.name, 0, languages + ": " + Consequence(*cells.front(), mark)});
        }
    }
}

}  // namespace check

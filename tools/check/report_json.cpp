#include "report_json.h"

#include <algorithm>
#include <string>

#include "findings.h"
#include "problem_codes.h"
#include "sim_bridge.h"

namespace check {
namespace {

// Members of one JSON object, written in order.
class Object {
public:
    Object &Text(const char *name, const std::string &value) { return Raw(name, JsonString(value)); }
    Object &OptionalText(const char *name, const std::string &value) {
        return Raw(name, value.empty() ? "null" : JsonString(value));
    }
    Object &Number(const char *name, long value) { return Raw(name, std::to_string(value)); }
    Object &Flag(const char *name, bool value) { return Raw(name, value ? "true" : "false"); }
    Object &Texts(const char *name, const std::vector<std::string> &values) {
        std::string list;
        for (const std::string &value : values) list += (list.empty() ? "" : ",") + JsonString(value);
        return Raw(name, "[" + list + "]");
    }
    Object &Numbers(const char *name, const std::vector<int> &values) {
        std::string list;
        for (int value : values) list += (list.empty() ? "" : ",") + std::to_string(value);
        return Raw(name, "[" + list + "]");
    }
    Object &Raw(const char *name, const std::string &json) {
        m_text += (m_text.empty() ? "" : ",") + JsonString(name) + ":" + json;
        return *this;
    }
    std::string Json() const { return "{" + m_text + "}"; }

private:
    std::string m_text;
};

template <class Item, class Write>
std::string Array(const std::vector<Item> &items, Write write, const char *indent = "\n  ") {
    std::string json;
    for (const Item &item : items) json += (json.empty() ? "" : ",") + std::string(indent) + write(item);
    return "[" + json + (items.empty() ? "]" : std::string(indent).substr(0, std::string(indent).size() - 2) + "]");
}

std::string Hex(unsigned long value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*lx", digits, value);
    return text;
}

std::string FamilyJson(const Family &family) {
    return Object()
        .Text("id", family.id)
        .Text("name", family.name)
        .Number("platformId", family.platformId)
        .Text("version", std::to_string(family.majorVersion) + "." + std::to_string(family.minorVersion))
        .Number("build", family.buildNumber)
        .Number("osCode", family.osCode)
        .Json();
}

std::string LanguageJson(const Language &language) {
    return Object()
        .Text("code", language.code)
        .Text("name", language.name)
        .Text("langId", Hex(language.langId, 4))
        .Number("codePage", language.codePage)
        .Flag("fallback", language.fallback)
        .OptionalText("messageFile", language.messageFile)
        .Texts("missingKeys", language.missingKeys)
        .Numbers("undecodableLines", language.undecodableLines)
        .OptionalText("noticeFile", language.noticeFile)
        .Numbers("undecodableNoticeLines", language.undecodableNoticeLines)
        .Json();
}

std::string InfJson(const InfFile &inf) {
    return Object()
        .Text("file", inf.file)
        .Raw("readError", inf.readError ? JsonString(Hex(inf.readError, 8)) : "null")
        .Flag("opens", inf.opens)
        .Raw("openError", inf.opens ? "null" : JsonString(Hex(inf.openError, 8)))
        .Raw("errorLine", inf.opens ? "null" : std::to_string(inf.errorLine))
        .Flag("win4Style", inf.win4Style)
        .Raw("class", inf.classPresent ? JsonString(inf.infClass) : "null")
        .Raw("signature", inf.signaturePresent ? JsonString(inf.signature) : "null")
        .Texts("families", inf.families)
        .Text("provider", inf.provider)
        .OptionalText("oemName95", inf.oemName95)
        .OptionalText("oemName95Refusal", inf.oemName95Refusal)
        .Flag("modelsRead", inf.modelsRead)
        .Number("modelCount", static_cast<long>(inf.modelCount))
        .Texts("models", inf.models)
        .OptionalText("layoutFile", inf.layoutFile)
        .Raw("layoutFileFound", inf.layoutFile.empty() ? "null" : inf.layoutFileFound ? "true" : "false")
        .Json();
}

std::string CellJson(const Cell &cell) {
    const std::string boxes = Array(
        cell.boxes,
        [](const Box &box) {
            return Object()
                .OptionalText("key", box.key)
                .Text("caption", box.caption)
                .Text("text", box.text)
                .Text("style", box.style)
                .Json();
        },
        "\n      ");
    const std::string store = Array(
        cell.infStore,
        [](const StoredInf &stored) {
            return Object()
                .Text("path", stored.path)
                .OptionalText("copyOf", stored.copyOf)
                .OptionalText("provider", stored.provider)
                .Json();
        },
        "\n      ");
    return Object()
        .Text("family", cell.family)
        .Text("language", cell.language)
        .Text("mark", CellMark(cell))
        .Flag("wizardOpened", cell.wizardOpened)
        .Number("exitStatus", cell.exitStatus)
        .Flag("timedOut", cell.timedOut)
        .OptionalText("runError", cell.runError)
        .OptionalText("wParam", cell.wParam)
        .Raw("boxes", boxes)
        .Texts("wizardInfs", cell.wizardInfs)
        .Raw("infStore", store)
        .Json();
}

// The host path of a file within the package.
std::string HostPath(const Report &report, const std::string &file) {
    if (file.empty()) return std::string();
    std::string path = report.package + "/" + file;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string ProblemJson(const Report &report, const Problem &problem) {
    return Object()
        .Text("severity", SeverityName(SeverityOf(problem.code)))
        .Text("code", problem.code)
        .OptionalText("file", problem.file)
        .OptionalText("path", HostPath(report, problem.file))
        .Raw("line", problem.line ? std::to_string(problem.line) : "null")
        .Texts("families", problem.families)
        .Texts("languages", problem.languages)
        .Text("message", problem.message)
        .Json();
}

}  // namespace

void PrintJson(const Report &report, std::FILE *out) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", report.seconds);
    const std::string json =
        Object()
            .Number("schemaVersion", kJsonSchemaVersion)
            .Flag("ok", !Fails(report))
            .Text("failOn", SeverityName(report.failOn))
            .Text("package", report.package)
            .Text("driverFolder", report.driverFolder)
            .Raw("seconds", seconds)
            .Raw("languageTable",
                 Object().Text("source", report.languageTable.source).Flag("valid", report.languageTable.valid).Json())
            .Raw("families", Array(report.families, FamilyJson))
            .Raw("languages", Array(report.languages, LanguageJson))
            .Raw("infs", Array(report.infs, InfJson))
            .Raw("runs", Array(report.cells, CellJson))
            .Raw("problems", Array(report.problems, [&](const Problem &problem) { return ProblemJson(report, problem); }))
            .Json();
    std::fprintf(out, "%s\n", json.c_str());
}

}  // namespace check

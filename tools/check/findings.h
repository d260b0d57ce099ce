// What the runs of the installer showed, named: the key of each box, the
// provider of each INF file a run stored, a one-word mark per run, and the
// problems the runs reveal.
#pragma once

#include <string>
#include <vector>

#include "message_checks.h"
#include "report.h"

namespace check {

// The mark of a box the notice file fills, and of the box a run shows when
// it finds no message file or language table.
constexpr const char *kNoticeBox = "notice";
constexpr const char *kResourceFileNotFoundBox = "IDS_RESOURCE_FILE_NOT_FOUND";
constexpr const char *kSourcePathBox = "IDS_ERR_SOURCEPATHNG";

void NameBoxes(const MessageTexts &texts, std::vector<Cell> *cells);
void NameStoredProviders(const std::vector<InfFile> &infs, std::vector<Cell> *cells);

// "ok" (the wizard opened, no message but the notice), the key of the
// first message shown, "silent" (stopped without a message), "no-inf" (the
// wizard found no INF file), "timeout" or "error" (the run could not be
// made).
std::string CellMark(const Cell &cell);

// One problem per mark other than "ok", naming the families and the
// languages; for a family that found no INF file, the INF files it passed
// over and why.
void JudgeCells(const Report &report, std::vector<Problem> *problems);

// Drops the problems that concern only families left out of the check
// (--families): a package meant for the NT family need not copy to the 95
// family's Inf\Other.
void KeepCheckedFamilies(const std::vector<Family> &families, std::vector<Problem> *problems);

}  // namespace check

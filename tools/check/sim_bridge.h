// What the check needs of the simulated machine beyond the program's own
// platform calls: throw-away machines made from the built-in template, the
// machine this process itself works on, code-page conversions and the
// transcript's JSON.
#pragma once

#include <map>
#include <string>

#include "platform/types.h"

namespace check {

// Makes a machine folder at `path` from the built-in template.
bool CreateMachine(const std::string &path, std::string *error);
// Makes the machine at `path` the one this process works on.
void UseMachine(const std::string &path);

std::string AnsiToUtf8(const std::string &ansi, win::UINT codePage);
std::string Utf8ToAnsi(const std::string &utf8, win::UINT codePage);
// True when `ansi` is text of `codePage` that converts to Unicode and back
// unchanged: no byte the code page leaves undefined, no broken double-byte
// character.
bool DecodesWithoutLoss(const std::string &ansi, win::UINT codePage);

// A JSON string literal (quotes included) of UTF-8 text.
std::string JsonString(const std::string &utf8);
// One transcript.jsonl line as field -> value; false when it is none.
bool ParseTranscriptLine(const std::string &line, std::map<std::string, std::string> *fields);

}  // namespace check

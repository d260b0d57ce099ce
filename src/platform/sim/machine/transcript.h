// transcript.jsonl of the machine folder: what the program showed or did
// to other programs, one JSON object per line, appended in order.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace sim {

// A JSON string literal (quotes included) of UTF-8 text.
std::string JsonString(const std::string &utf8);
// A JSON string literal (quotes included) "0x…" of lower-case hexadecimal,
// as the transcript writes handles and numbers.
std::string JsonHex(std::uint64_t value);
// Bytes as lower-case hexadecimal, two digits each (no quotes), as the
// transcript writes binary data such as registry values.
std::string HexBytes(const std::string &bytes);

// Reads one transcript line, a flat JSON object of string and number
// fields, into field -> value (strings unescaped, numbers as written).
// False when the line is not such an object.
bool ParseTranscriptLine(const std::string &line, std::map<std::string, std::string> *fields);

// Appends one line, e.g. {"event":"post",...}, with a single write.
void AppendTranscript(const std::string &jsonObject);

}  // namespace sim

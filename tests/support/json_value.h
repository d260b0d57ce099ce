// A small strict JSON reader for tests that read a tool's JSON output.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace testing_json {

struct Value {
    enum Kind { kNull, kBool, kNumber, kString, kArray, kObject };
    Kind kind = kNull;
    bool flag = false;
    double number = 0;
    std::string text;
    std::vector<Value> items;
    std::map<std::string, Value> members;

    // The member `name`; a null value when there is none.
    const Value &operator[](const std::string &name) const;
    bool IsNull() const { return kind == kNull; }
};

// False, with the offset of the fault in `error`, unless `text` is exactly
// one JSON value (blanks around it allowed).
bool Parse(const std::string &text, Value *value, std::string *error);

}  // namespace testing_json

#include "support/json_value.h"

#include <cctype>
#include <cstdlib>

namespace testing_json {
namespace {

class Reader {
public:
    explicit Reader(const std::string &text) : m_text(text) {}

    bool Document(Value *value) { return Read(value) && (Skip(), m_pos == m_text.size()); }
    std::size_t Position() const { return m_pos; }

private:
    void Skip() {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos]))) ++m_pos;
    }
    bool Take(char c) {
        Skip();
        if (m_pos >= m_text.size() || m_text[m_pos] != c) return false;
        ++m_pos;
        return true;
    }
    bool Word(const char *word) {
        const std::string expected = word;
        if (m_text.compare(m_pos, expected.size(), expected) != 0) return false;
        m_pos += expected.size();
        return true;
    }
    bool Read(Value *value) {
        Skip();
        if (m_pos >= m_text.size()) return false;
        const char c = m_text[m_pos];
        if (c == '{') return Object(value);
        if (c == '[') return Array(value);
        if (c == '"') {
            value->kind = Value::kString;
            return String(&value->text);
        }
        if (Word("null")) return true;
        if (Word("true") || Word("false")) {
            value->kind = Value::kBool;
            value->flag = c == 't';
            return true;
        }
        return Number(value);
    }
    bool Number(Value *value) {
        const char *begin = m_text.c_str() + m_pos;
        if (*begin != '-' && !std::isdigit(static_cast<unsigned char>(*begin))) return false;
        char *end = nullptr;
        value->number = std::strtod(begin, &end);
        value->kind = Value::kNumber;
        m_pos += static_cast<std::size_t>(end - begin);
        return end != begin;
    }
    bool String(std::string *text) {
        if (!Take('"')) return false;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                text->push_back(c);
                continue;
            }
            if (m_pos >= m_text.size()) return false;
            const char escaped = m_text[m_pos++];
            const std::string simple = "\"\\/bfnrt", meaning = "\"\\/\b\f\n\r\t";
            if (simple.find(escaped) != std::string::npos) {
                text->push_back(meaning[simple.find(escaped)]);
            } else if (escaped == 'u' && m_pos + 4 <= m_text.size()) {
                const unsigned code = static_cast<unsigned>(std::strtoul(m_text.substr(m_pos, 4).c_str(), nullptr, 16));
                m_pos += 4;
                if (code < 0x80) text->push_back(static_cast<char>(code));
                else text->append("?");  // tests compare ASCII escapes only
            } else {
                return false;
            }
        }
        return false;
    }
    bool Array(Value *value) {
        value->kind = Value::kArray;
        Take('[');
        if (Take(']')) return true;
        do {
            value->items.emplace_back();
            if (!Read(&value->items.back())) return false;
        } while (Take(','));
        return Take(']');
    }
    bool Object(Value *value) {
        value->kind = Value::kObject;
        Take('{');
        if (Take('}')) return true;
        do {
            std::string name;
            Skip();
            if (!String(&name) || !Take(':') || !Read(&value->members[name])) return false;
        } while (Take(','));
        return Take('}');
    }

    const std::string &m_text;
    std::size_t m_pos = 0;
};

}  // namespace

const Value &Value::operator[](const std::string &name) const {
    static const Value null;
    const auto found = members.find(name);
    return found == members.end() ? null : found->second;
}

bool Parse(const std::string &text, Value *value, std::string *error) {
    Reader reader(text);
    *value = Value();
    if (reader.Document(value)) return true;
    *error = "not JSON at offset " + std::to_string(reader.Position());
    return false;
}

}  // namespace testing_json

// registry.reg's text form: REGEDIT4 as regedit exports it.
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Key]
//   "Text"="a \"quoted\" C:\\path"        REG_SZ: the text and one zero
//   "Number"=dword:0000002a               REG_DWORD of four bytes
//   @=hex(2):25,53,00                     anything else, bytes as hex
//   "Blob"=hex:01,02,\                    REG_BINARY; long lines continue
//     03,04                               after a trailing "\"
#include <cctype>
#include <cstdio>

#include "platform/registry.h"
#include "platform/sim/registry/registry_store.h"

namespace sim {
namespace {

constexpr const char *kHeader = "REGEDIT4";
constexpr const char *kLocalMachine = "HKEY_LOCAL_MACHINE";
constexpr const char *kCurrentUser = "HKEY_CURRENT_USER";
// regedit breaks hex lines once they pass this width.
constexpr std::size_t kHexLineWidth = 76;

class Parser {
public:
    Parser(const std::string &text, RegTree *tree, RegParseError *error)
        : m_text(text), m_tree(tree), m_error(error) {}

    bool Run() {
        if (m_text.compare(0, 3, "\xEF\xBB\xBF") == 0) m_pos = 3;
        SkipBlankLines();
        if (RestOfLine() != kHeader) return Fail("the file must begin with REGEDIT4");
        NextLine();
        while (SkipBlankLines()) {
            const char c = m_text[m_pos];
            if (c == '[') {
                if (!KeyLine()) return false;
            } else if (c == '"' || c == '@') {
                if (!ValueLine()) return false;
            } else if (c != ';') {
                return Fail("expected [key], \"name\"=value or @=value");
            }
            NextLine();
        }
        return true;
    }

private:
    bool Fail(const std::string &message) {
        m_error->line = m_line;
        m_error->message = message;
        return false;
    }
    bool AtEnd() const { return m_pos >= m_text.size(); }
    bool AtLineEnd() const { return AtEnd() || m_text[m_pos] == '\n' || m_text[m_pos] == '\r'; }
    void SkipSpaces() {
        while (!AtEnd() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t')) ++m_pos;
    }
    // Moves past the end of the current line.
    void NextLine() {
        while (!AtEnd() && m_text[m_pos] != '\n') ++m_pos;
        if (!AtEnd()) {
            ++m_pos;
            ++m_line;
        }
    }
    // Skips blank lines; false at the end of the text.
    bool SkipBlankLines() {
        for (;;) {
            SkipSpaces();
            if (AtEnd()) return false;
            if (!AtLineEnd()) return true;
            NextLine();
        }
    }
    std::string RestOfLine() const {
        std::size_t end = m_pos;
        while (end < m_text.size() && m_text[end] != '\n' && m_text[end] != '\r') ++end;
        std::string line = m_text.substr(m_pos, end - m_pos);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
        return line;
    }
    // Only blanks or a comment may follow a complete line.
    bool EndOfLine() {
        SkipSpaces();
        if (AtLineEnd() || m_text[m_pos] == ';') return true;
        return Fail("unexpected text after the value");
    }

    bool KeyLine() {
        const std::string line = RestOfLine();
        const std::size_t close = line.rfind(']');
        if (close == std::string::npos) return Fail("a key line must end with \"]\"");
        const std::string path = line.substr(1, close - 1);
        const std::size_t slash = path.find('\\');
        const std::string root = path.substr(0, slash);
        RegKey *key = nullptr;
        if (root == kLocalMachine)
            key = &m_tree->localMachine;
        else if (root == kCurrentUser)
            key = &m_tree->currentUser;
        else
            return Fail("keys must lie under HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER");
        m_key = slash == std::string::npos ? key : &key->CreatePath(path.substr(slash + 1));
        return true;
    }

    // A quoted string at the current position; `\\` and `\"` are escapes,
    // everything else (line breaks too) is taken as it stands.
    bool QuotedString(std::string *text) {
        ++m_pos;
        for (;;) {
            if (AtEnd()) return Fail("a quoted string has no closing quote");
            const char c = m_text[m_pos++];
            if (c == '"') return true;
            if (c == '\n') ++m_line;
            if (c == '\\' && !AtEnd() && (m_text[m_pos] == '\\' || m_text[m_pos] == '"')) {
                text->push_back(m_text[m_pos++]);
            } else {
                text->push_back(c);
            }
        }
    }

    bool Word(const char *word) {
        std::size_t i = 0;
        for (; word[i] != '\0'; ++i)
            if (m_pos + i >= m_text.size() ||
                std::tolower(static_cast<unsigned char>(m_text[m_pos + i])) != word[i])
                return false;
        m_pos += i;
        return true;
    }

    static int HexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    // Up to `maxDigits` hex digits; false when there are none.
    bool HexNumber(std::size_t maxDigits, unsigned long *number) {
        *number = 0;
        std::size_t digits = 0;
        while (!AtEnd() && HexDigit(m_text[m_pos]) >= 0) {
            if (++digits > maxDigits) return false;
            *number = *number * 16 + static_cast<unsigned long>(HexDigit(m_text[m_pos++]));
        }
        return digits > 0;
    }

    // Comma-separated hex bytes of two digits each; a "\" at the end of a
    // line continues the list on the next line. A file that ends where a
    // "," or a "\" promised more, or inside a byte, was cut short.
    bool HexBytes(std::string *bytes) {
        bool moreToCome = false;
        for (;;) {
            SkipSpaces();
            if (AtEnd() && moreToCome) return Fail("the file ends inside hex data");
            if (!AtEnd() && m_text[m_pos] == '\\') {
                ++m_pos;
                SkipSpaces();
                if (!AtLineEnd()) return Fail("a \"\\\" in hex data must end its line");
                NextLine();
                moreToCome = true;
                continue;
            }
            if (AtLineEnd() || m_text[m_pos] == ';') return true;
            const std::size_t start = m_pos;
            unsigned long byte = 0;
            if (!HexNumber(2, &byte) || m_pos - start != 2) return Fail("hex data must be bytes like 0a,ff");
            bytes->push_back(static_cast<char>(byte));
            moreToCome = false;
            SkipSpaces();
            if (!AtEnd() && m_text[m_pos] == ',') {
                ++m_pos;
                moreToCome = true;
            } else if (!AtLineEnd() && m_text[m_pos] != '\\' && m_text[m_pos] != ';')
                return Fail("hex bytes must be separated by commas");
        }
    }

    bool ValueLine() {
        if (m_key == nullptr) return Fail("a value before the first [key]");
        std::string name;
        if (m_text[m_pos] == '@') {
            ++m_pos;
        } else if (!QuotedString(&name)) {
            return false;
        }
        SkipSpaces();
        if (AtEnd() || m_text[m_pos] != '=') return Fail("expected \"=\" after the value name");
        ++m_pos;
        SkipSpaces();
        win::DWORD type = win::REG_SZ;
        std::string data;
        if (!AtEnd() && m_text[m_pos] == '"') {
            if (!QuotedString(&data)) return false;
            data.push_back('\0');
        } else if (Word("dword:")) {
            unsigned long number = 0;
            if (!HexNumber(8, &number)) return Fail("dword: needs up to eight hex digits");
            type = win::REG_DWORD;
            for (int i = 0; i < 4; ++i) data.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
        } else if (Word("hex:")) {
            type = win::REG_BINARY;
            if (!HexBytes(&data)) return false;
        } else if (Word("hex(")) {
            unsigned long number = 0;
            if (!HexNumber(8, &number) || !Word("):")) return Fail("expected hex(type):");
            type = static_cast<win::DWORD>(number);
            if (!HexBytes(&data)) return false;
        } else {
            return Fail("a value is \"text\", dword:, hex: or hex(type):");
        }
        if (!EndOfLine()) return false;
        m_key->SetValue(name, type, std::move(data));
        return true;
    }

    const std::string &m_text;
    RegTree *m_tree;
    RegParseError *m_error;
    std::size_t m_pos = 0;
    int m_line = 1;
    RegKey *m_key = nullptr;
};

std::string Quoted(const std::string &text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted.push_back('\\');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

// A REG_SZ written as plain text: exactly its text and one zero.
bool IsPlainText(const RegValue &value) {
    return value.type == win::REG_SZ && !value.data.empty() && value.data.back() == '\0' &&
           value.data.find('\0') == value.data.size() - 1;
}

void AppendValue(const RegValue &value, std::string *out) {
    std::string line = value.name.empty() ? "@=" : Quoted(value.name) + "=";
    char buffer[16];
    if (IsPlainText(value)) {
        line += Quoted(value.data.substr(0, value.data.size() - 1));
    } else if (value.type == win::REG_DWORD && value.data.size() == 4) {
        const auto byte = [&](int i) { return static_cast<unsigned long>(static_cast<unsigned char>(value.data[i])); };
        std::snprintf(buffer, sizeof buffer, "dword:%08lx",
                      byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
        line += buffer;
    } else {
        if (value.type == win::REG_BINARY) {
            line += "hex:";
        } else {
            std::snprintf(buffer, sizeof buffer, "hex(%lx):", static_cast<unsigned long>(value.type));
            line += buffer;
        }
        for (std::size_t i = 0; i < value.data.size(); ++i) {
            std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(value.data[i]));
            line += buffer;
            if (i + 1 == value.data.size()) break;
            line += ',';
            if (line.size() >= kHexLineWidth) {
                *out += line + "\\\n";
                line = "  ";
            }
        }
    }
    *out += line + "\n";
}

void AppendKey(const RegKey &key, const std::string &path, bool isRoot, std::string *out) {
    if (!isRoot || !key.Values().empty()) {
        *out += "[" + path + "]\n";
        for (const RegValue &value : key.Values()) AppendValue(value, out);
        *out += "\n";
    }
    for (const auto &subkey : key.Subkeys())
        AppendKey(*subkey.second, path + "\\" + subkey.second->Name(), false, out);
}

}  // namespace

bool ParseRegedit4(const std::string &text, RegTree *tree, RegParseError *error) {
    return Parser(text, tree, error).Run();
}

std::string FormatRegedit4(const RegTree &tree) {
    std::string out = std::string(kHeader) + "\n\n";
    AppendKey(tree.localMachine, kLocalMachine, true, &out);
    AppendKey(tree.currentUser, kCurrentUser, true, &out);
    return out;
}

}  // namespace sim

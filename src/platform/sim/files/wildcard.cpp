#include "platform/sim/files/wildcard.h"

#include <vector>

namespace sim {
namespace {

// The pattern's characters once translated as FindFirstFileA translates
// them before asking the file system.
enum class Token : char {
    Literal,
    Star,      // any run of characters
    DosStar,   // "*" before "."; any run that does not take the last period
    DosQm,     // "?"; one character other than a period, or none at a period or the end
    DosDot,    // "." before "?", "*" or the end; a period, or nothing at the end
};

struct Element {
    Token token;
    char16_t c;
};

std::vector<Element> Translate(const std::u16string &pattern) {
    std::vector<Element> elements;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        const char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : u'\0';
        if (c == u'*') elements.push_back({next == u'.' ? Token::DosStar : Token::Star, c});
        else if (c == u'?') elements.push_back({Token::DosQm, c});
        else if (c == u'.' && (next == u'?' || next == u'*' || next == u'\0')) elements.push_back({Token::DosDot, c});
        else elements.push_back({Token::Literal, c});
    }
    return elements;
}

class Matcher {
public:
    Matcher(std::vector<Element> pattern, const std::u16string &name)
        : m_pattern(std::move(pattern)),
          m_name(name),
          m_lastDot(name.rfind(u'.')),
          m_known((m_pattern.size() + 1) * (name.size() + 1), kUnknown) {}

    bool Match(std::size_t p, std::size_t n) {
        char &known = m_known[p * (m_name.size() + 1) + n];
        if (known == kUnknown) known = Compute(p, n) ? kYes : kNo;
        return known == kYes;
    }

private:
    static constexpr char kUnknown = 0, kYes = 1, kNo = 2;

    bool Compute(std::size_t p, std::size_t n) {
        const std::size_t end = m_name.size();
        if (p == m_pattern.size()) return n == end;
        const Element &element = m_pattern[p];
        switch (element.token) {
        case Token::Star:
            for (std::size_t k = n; k <= end; ++k)
                if (Match(p + 1, k)) return true;
            return false;
        case Token::DosStar:
            for (std::size_t k = n;; ++k) {
                if (Match(p + 1, k)) return true;
                if (k == end || k == m_lastDot) return false;
            }
        case Token::DosQm:
            if (n == end || m_name[n] == u'.') return Match(p + 1, n);
            return Match(p + 1, n + 1);
        case Token::DosDot:
            if (n == end) return Match(p + 1, n);
            return m_name[n] == u'.' && Match(p + 1, n + 1);
        case Token::Literal:
            return n < end && m_name[n] == element.c && Match(p + 1, n + 1);
        }
        return false;
    }

    std::vector<Element> m_pattern;
    const std::u16string &m_name;
    std::size_t m_lastDot;
    std::vector<char> m_known;
};

}  // namespace

bool MatchesFilePattern(const std::u16string &pattern, const std::u16string &name) {
    return Matcher(Translate(pattern), name).Match(0, 0);
}

}  // namespace sim

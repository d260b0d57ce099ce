#include "platform/sim/setupapi/inf_parser.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace sim::setupapi {
namespace {

constexpr std::size_t kMaxTokenChars = 511;
constexpr std::size_t kMaxSectionNameChars = 255;

// What a byte means to the parser; the states differ in which of these
// they take as plain text.
enum ByteClass : unsigned char {
    kPlain,
    kBlank,
    kNewline,
    kSemicolon,
    kComma,
    kEquals,
    kQuote,
    kBackslash,
    kOpenBracket,
    kCloseBracket,
    kNul,
    kLead,
};

// The token being read. Usually it is one slice of the file's text and is
// stored as a reference to it; it is copied only when it is put together
// from pieces that do not touch (quotes, joined lines) or holds NUL bytes,
// which read as blanks.
class Token {
public:
    Token(const CodePageText &codePage, bool textHasNul) : m_codePage(codePage), m_textHasNul(textHasNul) {}

    std::size_t Chars() const { return m_chars; }
    bool Copied() const { return m_copied; }
    std::string_view View() const {
        if (m_copied) return m_copy;
        return m_sliceLength != 0 ? std::string_view(m_slice, m_sliceLength) : std::string_view("", 0);
    }

    // Adds [from, to) as far as the token's 511 characters allow.
    void Append(const char *from, const char *to) {
        if (from == to || m_chars == kMaxTokenChars) return;
        std::string_view piece(from, static_cast<std::size_t>(to - from));
        piece = piece.substr(0, m_codePage.PrefixBytes(piece, kMaxTokenChars - m_chars));
        m_chars += m_codePage.CountChars(piece);
        const bool hasNul = m_textHasNul && std::memchr(piece.data(), 0, piece.size()) != nullptr;
        if (!m_copied && !hasNul) {
            if (m_sliceLength == 0) {
                m_slice = piece.data();
                m_sliceLength = piece.size();
                return;
            }
            if (m_slice + m_sliceLength == piece.data()) {
                m_sliceLength += piece.size();
                return;
            }
        }
        if (!m_copied) {
            m_copy.assign(m_slice, m_sliceLength);
            m_copied = true;
        }
        const std::size_t at = m_copy.size();
        m_copy.append(piece);
        if (hasNul)
            for (std::size_t i = at; i < m_copy.size(); ++i)
                if (m_copy[i] == '\0') m_copy[i] = ' ';
    }

    // Where the token's text is kept for good; empties the token.
    TextRef Store(const TextBuffer &text, std::string *assembled) {
        TextRef ref;
        if (m_copied) {
            ref.offset = static_cast<std::uint32_t>(text.Size() + assembled->size());
            ref.length = static_cast<std::uint32_t>(m_copy.size());
            assembled->append(m_copy);
        } else if (m_sliceLength != 0) {
            ref.offset = static_cast<std::uint32_t>(m_slice - text.Data());
            ref.length = static_cast<std::uint32_t>(m_sliceLength);
        }
        Clear();
        return ref;
    }

    void Clear() {
        m_sliceLength = 0;
        m_copy.clear();
        m_copied = false;
        m_chars = 0;
    }

private:
    const CodePageText &m_codePage;
    const bool m_textHasNul;
    const char *m_slice = nullptr;
    std::size_t m_sliceLength = 0;
    std::string m_copy;
    bool m_copied = false;
    std::size_t m_chars = 0;
};

// The setup API's INF reader as a state machine over the bytes: the
// states, their stack, and how each one reads (Windows' and Wine's parsers
// work the same way, and their corner cases follow from it). What it finds
// goes to `Sink`: the whole file's sections and lines when a file is
// parsed, or the fields of one line when they are read again.
template <class Sink>
class InfSyntax {
public:
    // The text of `file` up to `end`.
    InfSyntax(Sink &sink, const InfFile::SyntaxTables &tables, const CodePageText &codePage, const char *end)
        : m_sink(sink),
          m_class(tables.byteClasses.data()),
          m_leadBytesAboveAscii(tables.leadBytesAboveAscii),
          m_anyLeadBytes(tables.anyLeadBytes),
          m_onlyFourCandidates(!tables.anyLeadBytes && !tables.textHasNul),
          m_end(end),
          m_token(codePage, tables.textHasNul) {}

    // Reads from `p`, where a line (or the file) begins, until the sink
    // stops it or the text ends.
    void ReadFrom(const char *p) { Run(p); }
    // Reads the line whose first token begins at `p`.
    void ReadLineAt(const char *p) {
        m_inSection = true;
        m_inLine = true;
        m_start = p;
        m_state = kKeyName;
        Run(p);
    }

    win::DWORD Error() const { return m_error; }
    win::UINT LineNumber() const { return m_lineNumber; }
    win::UINT FirstStrayLine() const { return m_firstStrayLine; }

private:
    enum State : unsigned char {
        kLineStart,
        kSectionName,
        kKeyName,
        kValueName,
        kEolBackslash,
        kQuotes,
        kLeadingBlanks,
        kTrailingBlanks,
        kComment,
    };

    ByteClass Class(const char *p) const { return static_cast<ByteClass>(m_class[static_cast<unsigned char>(*p)]); }
    bool AtLineEnd(const char *p) const { return p >= m_end || *p == '\n'; }

    // Length of the character at p: a lead byte takes its trail byte along.
    std::size_t CharLength(const char *p) const {
        return Class(p) == kLead && p + 1 < m_end && static_cast<unsigned char>(p[1]) >= 0x40 ? 2 : 1;
    }
    const char *SkipPlain(const char *p) const {
        while (p < m_end) {
            const ByteClass c = Class(p);
            if (c == kPlain) ++p;
            else if (c == kLead) p += CharLength(p);
            else break;
        }
        return p;
    }

    // Where the text of a line that starts at p ends (its newline, the ";"
    // of its comment, or the end of the text) when every token of it is a
    // slice of the text as it stands: no NUL, no lead byte, no "\" that
    // may join the next line, and quotes only around a whole token. Such a
    // line needs no state machine now, as its fields are read when they
    // are asked for. Null for any other line.
    const char *PlainLineEnd(const char *p) const {
        Separators separators{p, p, true};
        for (;; ++p) {
            p = NextCandidate(p);
            if (p == m_end) return p;
            const ByteClass c = Class(p);
            if (c == kNewline || c == kSemicolon) return p;
            if (c == kBackslash) {
                // Followed by a character that is text, it is text too.
                if (p + 1 < m_end && IsTextAfterBackslash(Class(p + 1))) continue;
                return nullptr;
            }
            if (c == kNul || c == kLead) return nullptr;
            if (c != kQuote) continue;  // a control character that is plain
            separators.ScanTo(p, *this);
            p = QuotedTokenEnd(separators, p);
            if (p == nullptr || p == m_end || Class(p) == kNewline || Class(p) == kSemicolon) return p;
            separators.Pass(p);  // the "," or "=" after the quoted token
        }
    }
    static bool IsTextAfterBackslash(ByteClass c) {
        return c == kPlain || c == kComma || c == kEquals || c == kOpenBracket || c == kCloseBracket;
    }

    // Where the token that a quote may open began, found by looking at the
    // line's "," and "=" only up to the quote (most lines have none).
    struct Separators {
        const char *scanned;     // looked at up to here
        const char *tokenStart;  // after the last separator
        bool keyPosition;        // no "," and no "=" so far
        void ScanTo(const char *to, const InfSyntax &syntax) {
            for (; scanned < to; ++scanned)
                if (syntax.Class(scanned) == kComma || (keyPosition && syntax.Class(scanned) == kEquals))
                    Pass(scanned);
        }
        void Pass(const char *separator) {
            keyPosition = false;  // in a value "=" is text
            tokenStart = separator + 1;
            scanned = separator + 1;
        }
    };

    // For a quote that opens a whole token (only blanks since the last
    // separator) and closes before the line ends, with no "" inside and
    // only blanks after it up to a separator or the line's end: where
    // that separator or end is. Null for any other quote.
    const char *QuotedTokenEnd(const Separators &separators, const char *quote) const {
        for (const char *p = separators.tokenStart; p < quote; ++p)
            if (Class(p) != kBlank) return nullptr;
        const char *p = quote + 1;
        for (;; ++p) {
            p = NextCandidate(p);
            if (p == m_end) return nullptr;
            const ByteClass c = Class(p);
            if (c == kNewline || c == kNul || c == kLead) return nullptr;
            if (c == kQuote) break;
        }
        if (p + 1 < m_end && p[1] == '"') return nullptr;  // "" is a quote inside
        for (++p; p < m_end && Class(p) == kBlank; ++p) {
        }
        if (p == m_end) return p;
        const ByteClass after = Class(p);
        if (after == kComma || after == kNewline || after == kSemicolon ||
            (after == kEquals && separators.keyPosition))
            return p;
        return nullptr;
    }

    // One bit for each of the sixteen bytes of a comparison's result (all
    // ones or all zeros), bit i for byte i: SSE2's movemask where there is
    // one, else the top bits of eight bytes gathered by a multiplication.
    template <class Bytes>
    static unsigned MaskOf(const Bytes &hits) {
        static_assert(sizeof hits == 16, "sixteen bytes");
#ifdef __SSE2__
        __m128i bytes;
        std::memcpy(&bytes, &hits, sizeof bytes);
        return static_cast<unsigned>(_mm_movemask_epi8(bytes));
#else
        std::uint64_t halves[2];
        std::memcpy(halves, &hits, sizeof halves);
        const auto topBits = [](std::uint64_t half) {
            return static_cast<unsigned>(((half & 0x8080808080808080u) * 0x0002040810204081u) >> 56);
        };
        return topBits(halves[0]) | topBits(halves[1]) << 8;
#endif
    }

    // The first `a` or `b` from p on, or m_end; sixteen bytes at a time.
    const char *FindEither(const char *p, char a, char b) const {
        using Bytes = char __attribute__((vector_size(16)));
        for (; m_end - p >= 16; p += 16) {
            Bytes bytes;
            std::memcpy(&bytes, p, sizeof bytes);
            const Bytes hits = (bytes == a) | (bytes == b);
            const unsigned mask = MaskOf(hits);
            if (mask != 0) return p + __builtin_ctz(mask);
        }
        while (p < m_end && *p != a && *p != b) ++p;
        return p;
    }

    // The first byte from p on that PlainLineEnd must look at: a newline,
    // quote, backslash, semicolon, a control character other than tab and
    // CR, or any byte above 0x7F in a code page with lead bytes; m_end when
    // there is none. Looks at sixteen bytes at a time (a vector of the
    // compiler's, SSE2 on x86).
    const char *NextCandidate(const char *p) const {
        using Bytes = unsigned char __attribute__((vector_size(16)));
        if (m_onlyFourCandidates) {
            // Without lead bytes and NULs no other byte can stop a line.
            for (; m_end - p >= 16; p += 16) {
                Bytes bytes;
                std::memcpy(&bytes, p, sizeof bytes);
                const unsigned mask = MaskOf((bytes == '\n') | (bytes == '"') | (bytes == '\\') | (bytes == ';'));
                if (mask != 0) return p + __builtin_ctz(mask);
            }
        }
        const unsigned char highest = m_leadBytesAboveAscii ? 0x7F : 0xFF;
        for (; m_end - p >= 16; p += 16) {
            Bytes bytes;
            std::memcpy(&bytes, p, sizeof bytes);
            const Bytes control = (bytes < 0x20) & (bytes != '\t') & (bytes != '\r');
            const Bytes hits = control | (bytes == '"') | (bytes == '\\') | (bytes == ';') | (bytes > highest);
            const unsigned mask = MaskOf(hits);
            if (mask != 0) return p + __builtin_ctz(mask);
        }
        for (; p < m_end; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            if ((c < 0x20 && c != '\t' && c != '\r') || c == '"' || c == '\\' || c == ';' || c > highest) return p;
        }
        return m_end;
    }

    void Push(State state) { m_stack[m_depth++] = state; }
    void Pop() { m_state = m_stack[--m_depth]; }
    void PushToken(const char *to) {
        m_token.Append(m_start, to);
        m_start = to;
    }

    // The states hand over to one another in this one loop, so that a
    // change of state costs no call.
    void Run(const char *p) {
        while (p != nullptr) {
            switch (m_state) {
            case kLineStart: p = LineStart(p); break;
            case kSectionName: p = SectionName(p); break;
            case kKeyName: p = KeyName(p); break;
            case kValueName: p = ValueName(p); break;
            case kEolBackslash: p = EolBackslash(p); break;
            case kQuotes: p = Quotes(p); break;
            case kLeadingBlanks: p = LeadingBlanks(p); break;
            case kTrailingBlanks: p = TrailingBlanks(p); break;
            case kComment: p = Comment(p); break;
            }
        }
    }

    // The end of a physical line outside a token; false when the sink
    // wants no more.
    bool CloseLine() {
        if (!m_inLine) return true;
        m_inLine = false;
        return m_sink.LineEnds();
    }

    const char *LineStart(const char *p) {
        for (; p < m_end; p += CharLength(p)) {
            switch (Class(p)) {
            case kNewline:
                ++m_lineNumber;
                if (!CloseLine()) return nullptr;
                break;
            case kSemicolon:
                return Enter(kComment, kLineStart, p + 1);
            case kOpenBracket:
                m_start = p + 1;
                m_state = kSectionName;
                return p + 1;
            case kBlank:
                break;
            default:
                if (m_inSection) {
                    if (!m_sink.PassesOverPlainLines()) return StartLine(p);
                    const char *next = PassOverPlainLines(p);
                    if (next == nullptr || m_state != kLineStart) return next;
                    p = next;  // the loop goes on after its newline
                    break;
                }
                // Text before the first section is skipped character by
                // character; whether it is an error is decided at the end.
                if (m_firstStrayLine == 0) m_firstStrayLine = m_lineNumber;
                break;
            }
        }
        CloseLine();
        return nullptr;
    }

    // A line's first token begins at p: the state machine reads it.
    const char *StartLine(const char *p) {
        m_inLine = true;
        m_sink.LineStarts(p);
        m_start = p;
        m_state = kKeyName;
        return p;
    }

    // Plain lines from p on, one after the other while each next line
    // begins with text at once (most do). Returns the newline of the last
    // one, for LineStart to go on after; or, having handed over to another
    // state, where it reads on (null at the end of the text).
    const char *PassOverPlainLines(const char *p) {
        for (;;) {
            const char *plainEnd = PlainLineEnd(p);
            if (plainEnd == nullptr) return StartLine(p);
            if (plainEnd != m_end && Class(plainEnd) == kSemicolon) {
                m_inLine = true;  // it ends at the newline after the comment
                m_sink.PlainLineStarts(p);
                return Enter(kComment, kLineStart, plainEnd + 1);
            }
            m_sink.PlainLineStarts(p);
            m_sink.LineEnds();
            if (plainEnd == m_end) return nullptr;
            ++m_lineNumber;  // the newline that ends it
            if (plainEnd + 1 == m_end || !StartsLineText(Class(plainEnd + 1))) return plainEnd;
            p = plainEnd + 1;
        }
    }
    static bool StartsLineText(ByteClass c) {
        return c != kNewline && c != kSemicolon && c != kOpenBracket && c != kBlank;
    }

    const char *SectionName(const char *p) {
        // Without lead bytes no "]" can be a trail byte: a search finds it.
        if (!m_anyLeadBytes) p = FindEither(p, ']', '\n');
        for (; !AtLineEnd(p); p += CharLength(p)) {
            if (Class(p) != kCloseBracket) continue;
            const char *nameStart = m_start;
            PushToken(p);
            if (m_token.Chars() > kMaxSectionNameChars) {
                m_error = win::ERROR_SECTION_NAME_TOO_LONG;
                return nullptr;
            }
            m_sink.Section(m_token, nameStart);
            m_inSection = true;
            return Enter(kComment, kLineStart, p + 1);  // the rest of the header line is ignored
        }
        m_error = win::ERROR_BAD_SECTION_NAME_LINE;
        return nullptr;
    }

    const char *KeyName(const char *p) {
        const char *tokenEnd = m_start;
        while (!AtLineEnd(p)) {
            switch (Class(p)) {
            case kComma:
                PushToken(tokenEnd);
                m_state = kValueName;  // the key was the line's first value
                return p;
            case kEquals:
                return StartNextField(tokenEnd, p, true);
            case kSemicolon:
                return EndLineAtComment(tokenEnd, p);
            case kQuote:
                return OpenQuote(p, kKeyName);
            case kBackslash:
                return StartBackslash(tokenEnd, p, kKeyName);
            case kBlank:
                return StartTrailingBlanks(p, kKeyName);
            case kPlain:
            case kLead:
                p = SkipPlain(p);
                tokenEnd = p;
                break;
            default:  // NUL, "[", "]" are text in a key
                ++p;
                tokenEnd = p;
                break;
            }
        }
        PushToken(tokenEnd);
        m_state = kValueName;
        return p;
    }

    const char *ValueName(const char *p) {
        const char *tokenEnd = m_start;
        while (!AtLineEnd(p)) {
            switch (Class(p)) {
            case kSemicolon:
                return EndLineAtComment(tokenEnd, p);
            case kComma:
                return StartNextField(tokenEnd, p, false);
            case kQuote:
                return OpenQuote(p, kValueName);
            case kBackslash:
                return StartBackslash(tokenEnd, p, kValueName);
            case kBlank:
            case kNul:  // in a value a NUL ends the text like a blank
                return StartTrailingBlanks(p, kValueName);
            case kPlain:
            case kLead:
                p = SkipPlain(p);
                tokenEnd = p;
                break;
            default:  // "=", "[", "]" are text in a value
                ++p;
                tokenEnd = p;
                break;
            }
        }
        PushToken(tokenEnd);
        m_sink.Field(m_token, false);
        m_state = kLineStart;
        return p;
    }

    // Hands over to `state`, which returns to `back` once it is done;
    // reading goes on at `resume`. The steps below are those that a key
    // and a value take alike.
    const char *Enter(State state, State back, const char *resume) {
        Push(back);
        m_state = state;
        return resume;
    }

    // A ";" at p ends the text of the line's last field.
    const char *EndLineAtComment(const char *tokenEnd, const char *p) {
        PushToken(tokenEnd);
        m_sink.Field(m_token, false);
        return Enter(kComment, kLineStart, p + 1);
    }

    // A "=" or "," at p ends one field; the next starts after its blanks.
    const char *StartNextField(const char *tokenEnd, const char *p, bool isKey) {
        PushToken(tokenEnd);
        m_sink.Field(m_token, isKey);
        m_start = p + 1;
        return Enter(kLeadingBlanks, kValueName, p + 1);
    }

    const char *OpenQuote(const char *p, State back) {
        PushToken(p);
        m_start = p + 1;
        return Enter(kQuotes, back, p + 1);
    }

    const char *StartBackslash(const char *tokenEnd, const char *p, State back) {
        PushToken(tokenEnd);
        m_start = p;
        return Enter(kEolBackslash, back, p);
    }

    const char *StartTrailingBlanks(const char *p, State back) {
        PushToken(p);
        return Enter(kTrailingBlanks, back, p);
    }

    // After a "\": only blanks, more "\" and a comment may follow before
    // the line end for the next line to be joined; anything else makes
    // the backslashes and blanks text.
    const char *EolBackslash(const char *p) {
        for (; p < m_end; p += CharLength(p)) {
            switch (Class(p)) {
            case kNewline:
                ++m_lineNumber;
                m_start = p + 1;
                m_state = kLeadingBlanks;
                return p + 1;
            case kBackslash:
            case kBlank:
                break;
            case kSemicolon:
                return Enter(kComment, kEolBackslash, p + 1);
            default:
                PushToken(p);
                Pop();
                return p;
            }
        }
        m_start = p;
        Pop();
        return p;
    }

    const char *Quotes(const char *p) {
        while (!AtLineEnd(p)) {
            if (Class(p) != kQuote) {
                p += CharLength(p);
                continue;
            }
            if (p + 1 < m_end && p[1] == '"') {  // "" is one quote
                PushToken(p + 1);
                m_start = p + 2;
                p += 2;
                continue;
            }
            PushToken(p);
            m_start = p + 1;
            Pop();
            return p + 1;
        }
        PushToken(p);  // an open quote ends with the line
        Pop();
        return p;
    }

    const char *LeadingBlanks(const char *p) {
        for (; !AtLineEnd(p); ++p) {
            if (Class(p) == kBackslash) {
                m_start = p;
                m_state = kEolBackslash;
                return p;
            }
            if (Class(p) != kBlank) break;
        }
        m_start = p;
        Pop();
        return p;
    }

    const char *TrailingBlanks(const char *p) {
        for (; !AtLineEnd(p); ++p) {
            if (Class(p) == kBackslash) {
                m_state = kEolBackslash;
                return p;
            }
            if (Class(p) != kBlank && Class(p) != kNul) break;
        }
        Pop();
        return p;
    }

    const char *Comment(const char *p) {
        const void *newline = std::memchr(p, '\n', static_cast<std::size_t>(m_end - p));
        Pop();
        return newline != nullptr ? static_cast<const char *>(newline) : m_end;
    }

    Sink &m_sink;
    const unsigned char *m_class;
    const bool m_leadBytesAboveAscii;
    const bool m_anyLeadBytes;
    const bool m_onlyFourCandidates;  // a newline, quote, backslash or semicolon
    const char *m_end;
    const char *m_start = nullptr;  // where the token's next piece begins
    State m_state = kLineStart;
    State m_stack[4];
    int m_depth = 0;
    Token m_token;
    bool m_inSection = false;
    bool m_inLine = false;
    win::UINT m_lineNumber = 1;
    win::UINT m_firstStrayLine = 0;
    win::DWORD m_error = 0;
};

// What a byte means to the parser in `codePage`.
ByteClass ClassOf(unsigned char c, const CodePageText &codePage) {
    switch (c) {
    case '\n': return kNewline;
    case ';': return kSemicolon;
    case ',': return kComma;
    case '=': return kEquals;
    case '"': return kQuote;
    case '\\': return kBackslash;
    case '[': return kOpenBracket;
    case ']': return kCloseBracket;
    case '\0': return kNul;
    default:
        if (codePage.IsLead(c)) return kLead;
        return codePage.IsBlank(c) ? kBlank : kPlain;
    }
}

// The fields of one line, read again from the file's text.
class LineCollector {
public:
    explicit LineCollector(InfLineFields *fields) : m_fields(fields) {}

    bool PassesOverPlainLines() const { return false; }
    void PlainLineStarts(const char *) {}
    void LineStarts(const char *) {}
    void Section(Token &, const char *) {}
    // The line was kept as an offset because none of its tokens had to be
    // put together, so every token is a view of the file's text.
    void Field(Token &token, bool isKey) {
        if (isKey) m_fields->AddKey(token.View());
        else m_fields->AddValue(token.View());
        token.Clear();
    }
    bool LineEnds() {
        m_fields->Close();
        return false;
    }

private:
    InfLineFields *m_fields;
};

}  // namespace

// The whole file in one pass: sections, and lines as offsets (or with
// their fields, when a token had to be put together).
class InfParser {
public:
    InfParser(TextBuffer text, std::shared_ptr<const CodePageText> codePage, PlainLines plainLines)
        : m_file(std::make_unique<InfFile>(std::move(text), std::move(codePage))),
          m_begin(m_file->m_text.Data()),
          m_plainLines(plainLines) {
        InfFile::SyntaxTables &tables = m_file->m_syntax;
        for (int b = 0; b < 256; ++b) {
            tables.byteClasses[b] = ClassOf(static_cast<unsigned char>(b), m_file->CodePage());
            tables.leadBytesAboveAscii = tables.leadBytesAboveAscii || (b >= 0x80 && tables.byteClasses[b] == kLead);
            tables.anyLeadBytes = tables.anyLeadBytes || tables.byteClasses[b] == kLead;
        }
    }

    ParseResult Run() {
        InfSyntax<InfParser> syntax(*this, m_file->m_syntax, m_file->CodePage(), m_begin + m_file->m_textEnd);
        syntax.ReadFrom(m_begin);
        ParseResult result;
        if (syntax.Error() != 0) {
            result.error = syntax.Error();
            result.errorLine = syntax.LineNumber();
            return result;
        }
        m_file->m_sectionFirstLines.PushBack(static_cast<std::uint32_t>(m_file->m_lines.Size()));
        if (!m_file->IndexSections()) MergeRepeatedSections();
        if (syntax.FirstStrayLine() != 0 && m_file->FindSection("Strings") == InfFile::kNoSection)
            result.strayLine = syntax.FirstStrayLine();
        result.file = std::move(m_file);
        return result;
    }

    // What the syntax finds. The fields of most lines are read when they
    // are asked for, not now.
    bool PassesOverPlainLines() const { return m_plainLines == PlainLines::kPassedOver; }
    void PlainLineStarts(const char *p) {
        m_lineOffset = static_cast<std::uint32_t>(p - m_begin);
        m_lineKept = false;
        m_linePlain = true;
    }
    // Every header is kept as it comes; names that come twice are found
    // once the file is read, as most files have none.
    void Section(Token &token, const char *nameStart) {
        InfFile &file = *m_file;
        if (token.Copied()) {
            file.m_sectionNames.PushBack(static_cast<std::uint32_t>(file.m_text.Size() + file.m_assembled.size()));
            file.m_assembled.append(token.View());
            file.m_assembled.push_back(']');  // where the name ends
        } else {
            file.m_sectionNames.PushBack(static_cast<std::uint32_t>(nameStart - m_begin));
        }
        token.Clear();
        file.m_sectionFirstLines.PushBack(static_cast<std::uint32_t>(file.m_lines.Size()));
    }

    void LineStarts(const char *p) {
        m_lineOffset = static_cast<std::uint32_t>(p - m_begin);
        m_lineFields.clear();
        m_lineKey = InfFile::KeptLine::kNoKey;
        m_lineKept = false;
        m_linePlain = false;
    }

    void Field(Token &token, bool isKey) {
        m_lineKept = m_lineKept || token.Copied();
        if (isKey) m_lineKey = static_cast<std::uint32_t>(m_lineFields.size());
        m_lineFields.push_back(token.Store(m_file->m_text, &m_file->m_assembled));
    }

    bool LineEnds() {
        m_file->m_lines.PushBack(m_lineKept ? KeepLine() : m_lineOffset | (m_linePlain ? InfFile::kPlainLine : 0));
        return true;
    }

private:
    // The line just read with its fields, which cannot be read again from
    // the text alone.
    std::uint32_t KeepLine() {
        InfFile::KeptLine line;
        line.firstField = static_cast<std::uint32_t>(m_file->m_keptFields.size());
        for (std::size_t i = 0; i < m_lineFields.size(); ++i) {
            if (i == m_lineKey) line.keyField = line.firstField++;
            else ++line.fieldCount;
            m_file->m_keptFields.push_back(m_lineFields[i]);
        }
        if (line.fieldCount == 1 && line.keyField == InfFile::KeptLine::kNoKey) line.keyField = line.firstField;
        m_file->m_keptLines.push_back(line);
        return InfFile::kKeptLine | static_cast<std::uint32_t>(m_file->m_keptLines.size() - 1);
    }

    // Makes the headers of one name one section, with the lines of each
    // header in turn, and indexes the sections anew.
    void MergeRepeatedSections() {
        InfFile &file = *m_file;
        const std::size_t headers = file.m_sectionNames.Size();
        std::vector<std::uint32_t> sectionOf(headers);
        ChunkedArray<std::uint32_t> names;
        std::vector<std::uint32_t> lineCounts;
        for (std::uint32_t h = 0; h < headers; ++h) {
            const int found = file.FindSection(file.SectionName(h));
            if (static_cast<std::uint32_t>(found) == h) {
                sectionOf[h] = static_cast<std::uint32_t>(names.Size());
                names.PushBack(file.m_sectionNames[h]);
                lineCounts.push_back(0);
            } else {
                sectionOf[h] = sectionOf[static_cast<std::uint32_t>(found)];
            }
            lineCounts[sectionOf[h]] += file.m_sectionFirstLines[h + 1] - file.m_sectionFirstLines[h];
        }
        ChunkedArray<std::uint32_t> firstLines;
        std::vector<std::uint32_t> next;
        std::uint32_t at = 0;
        for (std::uint32_t count : lineCounts) {
            firstLines.PushBack(at);
            next.push_back(at);
            at += count;
        }
        firstLines.PushBack(at);
        ChunkedArray<std::uint32_t> gathered;
        gathered.Resize(file.m_lines.Size());
        for (std::uint32_t h = 0; h < headers; ++h)
            for (std::uint32_t i = file.m_sectionFirstLines[h]; i < file.m_sectionFirstLines[h + 1]; ++i)
                gathered[next[sectionOf[h]]++] = file.m_lines[i];
        file.m_lines = std::move(gathered);
        file.m_sectionNames = std::move(names);
        file.m_sectionFirstLines = std::move(firstLines);
        file.IndexSections();
    }

    std::unique_ptr<InfFile> m_file;
    const char *m_begin;
    const PlainLines m_plainLines;
    // The line being read.
    std::uint32_t m_lineOffset = 0;
    std::vector<TextRef> m_lineFields;
    std::uint32_t m_lineKey = InfFile::KeptLine::kNoKey;
    bool m_lineKept = false;
    bool m_linePlain = false;
};

ParseResult ParseInf(TextBuffer text, std::shared_ptr<const CodePageText> codePage, PlainLines plainLines) {
    return InfParser(std::move(text), std::move(codePage), plainLines).Run();
}

void ReadPlainLineFields(const InfFile &file, std::uint32_t offset, InfLineFields *fields) {
    fields->Clear();
    const unsigned char *classes = file.m_syntax.byteClasses.data();
    const auto classOf = [classes](const char *p) {
        return static_cast<ByteClass>(classes[static_cast<unsigned char>(*p)]);
    };
    const char *end = file.m_text.Data() + file.m_textEnd;
    const char *p = file.m_text.Data() + offset;
    bool keyPosition = true;
    for (;;) {
        while (p < end && classOf(p) == kBlank) ++p;
        const char *tokenStart = p;
        const char *tokenEnd = p;
        if (p < end && classOf(p) == kQuote) {
            // The quotes hold the whole token, and only blanks follow it.
            tokenStart = p + 1;
            const std::size_t rest = static_cast<std::size_t>(end - tokenStart);
            tokenEnd = static_cast<const char *>(std::memchr(tokenStart, '"', rest));
            for (p = tokenEnd + 1; p < end && classOf(p) == kBlank; ++p) {
            }
        } else {
            for (; p < end; ++p) {
                const ByteClass c = classOf(p);
                if (c == kComma || c == kSemicolon || c == kNewline || (c == kEquals && keyPosition)) break;
                if (c != kBlank) tokenEnd = p + 1;
            }
        }
        const std::string_view token(tokenStart, std::min<std::size_t>(tokenEnd - tokenStart, kMaxTokenChars));
        const ByteClass separator = p < end ? classOf(p) : kNewline;
        if (separator == kEquals) {
            fields->AddKey(token);
        } else {
            fields->AddValue(token);
            if (separator != kComma) break;
        }
        keyPosition = false;
        ++p;
    }
    fields->Close();
}

void ReadLineFields(const InfFile &file, std::uint32_t offset, InfLineFields *fields) {
    fields->Clear();
    const char *begin = file.m_text.Data();
    LineCollector collector(fields);
    InfSyntax<LineCollector> syntax(collector, file.m_syntax, file.CodePage(), begin + file.m_textEnd);
    syntax.ReadLineAt(begin + offset);
}

}  // namespace sim::setupapi

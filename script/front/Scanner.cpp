#include "script/front/Scanner.h"

#include "text/CNumericScope.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace zeb::script {

namespace {

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}
bool isLetter(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// 0-15 for a digit of some radix up to 16; 99 for anything else, the end of the text included.
unsigned digitValue(int c)
{
    if (isDigit(c))
        return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<unsigned>(c - 'A' + 10);
    return 99;
}

bool isOperatorChar(int c)
{
    switch (c) {
    case '*':
    case '/':
    case '%':
    case '+':
    case '-':
    case '<':
    case '>':
    case '&':
    case '|':
    case '^':
    case '!':
        return true;
    default:
        return false;
    }
}

struct Word
{
    std::string_view text;
    int code;
};

constexpr std::array kReservedWords = {
    Word{"self", kSelf},     Word{"this", kThis},       Word{"super", kSuper},       Word{"if", kIf},
    Word{"else", kElse},     Word{"while", kWhile},     Word{"switch", kSwitch},     Word{"do", kDo},
    Word{"case", kCase},     Word{"default", kDefault}, Word{"break", kBreak},       Word{"return", kReturn},
    Word{"for", kFor},       Word{"goto", kGoto},       Word{"continue", kContinue}, Word{"local", kLocal},
    Word{"global", kGlobal}, Word{"thread", kThread},
};

constexpr std::array kOperators = {
    Word{"*=", kMulAssign}, Word{"/=", kDivAssign},  Word{"%=", kModAssign},    Word{"+=", kAddAssign},
    Word{"-=", kSubAssign}, Word{"<<=", kShlAssign}, Word{">>=", kShrAssign},   Word{"&=", kAndAssign},
    Word{"^=", kXorAssign}, Word{"|=", kOrAssign},   Word{"||", kOrOr},         Word{"&&", kAndAnd},
    Word{"!=", kNotEqual},  Word{"<=", kLessEqual},  Word{">=", kGreaterEqual}, Word{"<<", kShl},
    Word{">>", kShr},       Word{"++", kIncrement},  Word{"--", kDecrement},
};

int lookup(const auto& table, std::string_view text, int otherwise)
{
    for (const Word& word : table) {
        if (word.text == text)
            return word.code;
    }
    return otherwise;
}

} // namespace

Scanner::Scanner(std::string_view text)
    : m_text(text.substr(0, std::min<std::size_t>(text.size(), std::numeric_limits<std::uint32_t>::max() - 1)))
{
    m_buffer.reserve(kMaxTokenLength);
}

SourcePosition Scanner::furthest() const
{
    SourcePosition at;
    at.offset = m_furthest;
    for (std::uint32_t i = 0; i < m_furthest; ++i) {
        if (m_text[i] == '\n') {
            ++at.line;
            at.column = 0;
        } else {
            ++at.column;
        }
    }
    return at;
}

bool Scanner::collect(int c)
{
    if (m_buffer.size() + 1 >= kMaxTokenLength)
        return false;
    m_buffer.push_back(static_cast<char>(c));
    return true;
}

Token Scanner::next()
{
    Token token;
    if (!m_started) {
        m_started = true;
        token.code = kDefinitionsStart;
        return token;
    }
    int c = 0;
    for (;;) {
        m_tokenStart = m_position;
        c = readChar();
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        if (c == '/' && (peekChar() == '*' || peekChar() == '/')) {
            if (!skipComment()) {
                token.code = kLexicalError;
                break;
            }
            continue;
        }
        m_buffer.clear();
        if (c == 0)
            token.code = kEnd;
        else if (isDigit(c))
            token = number(c);
        else if (isLetter(c))
            token = name();
        else if (c == '=')
            token = equals();
        else if (c == '\'' || c == '"')
            token = literal(c);
        else if (isOperatorChar(c))
            token = operatorRun(c);
        else
            token.code = c;
        break;
    }
    token.span.firstLine = m_tokenStart.line;
    token.span.firstColumn = m_tokenStart.column;
    token.span.lastLine = m_position.line;
    token.span.lastColumn = m_position.column > 0 ? m_position.column - 1 : 0;
    return token;
}

// Block comments end at the first "*/" and do not nest; line comments end before a line feed.
bool Scanner::skipComment()
{
    if (readChar() == '/') {
        while (peekChar() != 0 && peekChar() != '\n')
            readChar();
        return true;
    }
    for (int c = readChar(); c != 0; c = readChar()) {
        if (c == '*' && peekChar() == '/') {
            readChar();
            return true;
        }
    }
    return false;
}

// Decimal digits, then a hexadecimal (0x), binary (0b) or any-radix (16rFF) integer, a floating
// literal (3.5, 3., 1e3), or the decimal integer itself, clamped to 2147483647.
Token Scanner::number(int first)
{
    Token token;
    token.code = kLexicalError;
    std::uint64_t decimal = 0;
    for (int c = first;; c = readChar()) {
        if (!collect(c))
            return token;
        decimal = std::min<std::uint64_t>(decimal * 10 + static_cast<unsigned>(c - '0'), 1ULL << 40);
        if (!isDigit(peekChar()))
            break;
    }
    const int marker = peekChar();
    const bool single0 = m_buffer == "0";
    std::uint32_t value = 0;
    unsigned radix = 0;
    if (single0 && (marker == 'x' || marker == 'X'))
        radix = 16;
    else if (single0 && (marker == 'b' || marker == 'B'))
        radix = 2;
    else if (marker == 'r' || marker == 'R')
        radix = static_cast<unsigned>(std::min<std::uint64_t>(decimal, 1U << 16));
    if (radix != 0 || marker == 'r' || marker == 'R') {
        collect(readChar());
        for (unsigned d = digitValue(peekChar()); d < std::min(radix, 16u); d = digitValue(peekChar())) {
            if (!collect(readChar()))
                return token;
            value = value * radix + d;
        }
        token.code = kInteger;
        token.integer = static_cast<std::int32_t>(value);
        return token;
    }
    if (marker == '.' || marker == 'e' || marker == 'E') {
        if (marker == '.') {
            collect(readChar());
            while (isDigit(peekChar())) {
                if (!collect(readChar()))
                    return token;
            }
        }
        if (peekChar() == 'e' || peekChar() == 'E') {
            collect(readChar());
            if (peekChar() == '+' || peekChar() == '-')
                collect(readChar());
            while (isDigit(peekChar())) {
                if (!collect(readChar()))
                    return token;
            }
        }
        token.code = kNumber;
        token.number = strtod_l(m_buffer.c_str(), nullptr, text::cLocale());
        return token;
    }
    token.code = kInteger;
    token.integer
        = static_cast<std::int32_t>(std::min<std::uint64_t>(decimal, std::numeric_limits<std::int32_t>::max()));
    return token;
}

// An identifier, a keyword (the name and its colon) or a reserved word.
// The name is taken from the text itself: it cannot hold a NUL or an escape.
Token Scanner::name()
{
    Token token;
    const std::size_t start = m_position.offset - 1;
    for (int c = peekChar(); isLetter(c) || isDigit(c); c = peekChar())
        readChar();
    if (peekChar() == ':') {
        readChar();
        token.code = kKeyword;
    }
    const std::string_view text = m_text.substr(start, m_position.offset - start);
    if (text.size() >= kMaxTokenLength) {
        token.code = kLexicalError;
        return token;
    }
    if (token.code != kKeyword)
        token.code = lookup(kReservedWords, text, kIdentifier);
    if (token.code == kIdentifier || token.code == kKeyword) {
        token.name = SymbolTable::intern(text);
        if (token.name == nullptr)
            token.code = kLexicalError;
    }
    return token;
}

Token Scanner::equals()
{
    Token token;
    int run = 1;
    while (peekChar() == '=') {
        readChar();
        ++run;
    }
    token.code = run == 1 ? kAssign : run == 2 ? kEqual : kLexicalError;
    return token;
}

// A run of operator characters and the '=' run after it, as one operator: "a*-b" is no operator.
Token Scanner::operatorRun(int first)
{
    Token token;
    token.code = kLexicalError;
    collect(first);
    while (isOperatorChar(peekChar())) {
        if (!collect(readChar()))
            return token;
    }
    while (peekChar() == '=') {
        if (!collect(readChar()))
            return token;
    }
    if (m_buffer.size() == 1)
        token.code = first;
    else
        token.code = lookup(kOperators, m_buffer, kLexicalError);
    return token;
}

Token Scanner::literal(int quote)
{
    Token token;
    token.code = kLexicalError;
    if (quote == '\'') {
        const int c = element();
        if (c < 0 || readChar() != '\'')
            return token;
        token.code = kCharacter;
        token.character = static_cast<std::uint8_t>(c);
        return token;
    }
    while (peekChar() != '"') {
        const int c = element();
        if (c < 0 || !collect(c))
            return token;
    }
    readChar();
    token.name = SymbolTable::intern(m_buffer);
    if (token.name != nullptr)
        token.code = kString;
    return token;
}

int Scanner::element()
{
    const int c = readChar();
    if (c == 0 || c == '\r' || c == '\n')
        return -1;
    if (c != '\\')
        return c;
    const int e = readChar();
    switch (e) {
    case '"':
    case '\'':
    case '\\':
        return e;
    case 'a':
        return 7;
    case 'b':
        return 8;
    case 'f':
        return 12;
    case 'n':
        return 10;
    case 'r':
        return 13;
    case 't':
        return 9;
    case 'v':
        return 11;
    default:
        break;
    }
    if (!isDigit(e))
        return -1;
    const int value = numericEscape(e);
    if (peekChar() == ' ')
        readChar();
    return value;
}

// The integer forms of a number literal (decimal, 0x, 0b, radix r), low 8 bits kept.
int Scanner::numericEscape(int first)
{
    std::uint32_t decimal = static_cast<std::uint32_t>(first - '0');
    int digits = 1;
    while (isDigit(peekChar())) {
        decimal = decimal * 10 + static_cast<std::uint32_t>(readChar() - '0');
        ++digits;
    }
    const int marker = peekChar();
    unsigned radix = 0;
    if (digits == 1 && first == '0' && (marker == 'x' || marker == 'X'))
        radix = 16;
    else if (digits == 1 && first == '0' && (marker == 'b' || marker == 'B'))
        radix = 2;
    else if (marker == 'r' || marker == 'R')
        radix = std::min<std::uint32_t>(decimal, 1U << 16);
    else
        return static_cast<int>(decimal & 0xFF);
    readChar();
    std::uint32_t value = 0;
    for (unsigned d = digitValue(peekChar()); d < std::min(radix, 16u); d = digitValue(peekChar())) {
        readChar();
        value = value * radix + d;
    }
    return static_cast<int>(value & 0xFF);
}

} // namespace zeb::script

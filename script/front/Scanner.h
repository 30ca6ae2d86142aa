// Cuts a script text into tokens.
#pragma once

#include "script/front/Token.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace zeb::script {

// One scanner serves one compile. The text ends at its end or at its first NUL byte. Malformed
// input (an unknown operator run, an unterminated literal or comment, a token of kMaxTokenLength
// characters or more) gives the token kLexicalError, which no grammar rule accepts.
class Scanner
{
public:
    static constexpr std::size_t kMaxTokenLength = 1024;

    explicit Scanner(std::string_view text);

    // The next token. The first one of every text is kDefinitionsStart.
    Token next();

    // Just after the furthest character read so far, look-ahead included: where a syntax error is
    // reported. The end of the text does not move it.
    SourcePosition furthest() const;

private:
    // Looking at the next character counts as reading it (and pushing it back): the error place
    // includes the character that ended the last token.
    int peekChar()
    {
        if (m_position.offset >= m_text.size())
            return 0;
        m_furthest = std::max(m_furthest, m_position.offset + 1);
        return static_cast<unsigned char>(m_text[m_position.offset]);
    }
    int readChar()
    {
        const int c = peekChar();
        if (c == 0)
            return 0;
        ++m_position.offset;
        if (c == '\n') {
            ++m_position.line;
            m_position.column = 0;
        } else {
            ++m_position.column;
        }
        return c;
    }
    // Steps of one token, each starting after its first character was read.
    bool skipComment();
    Token number(int first);
    Token name();
    Token equals();
    Token literal(int quote);
    Token operatorRun(int first);
    // One element of a character or string literal; -1 for a malformed one.
    int element();
    // The digits of a numeric escape, in any radix form; -1 for none.
    int numericEscape(int first);
    bool collect(int c);

    std::string_view m_text;
    SourcePosition m_position;
    std::uint32_t m_furthest = 0; // offset just after the furthest character read
    bool m_started = false;
    std::string m_buffer;
    SourcePosition m_tokenStart;
};

} // namespace zeb::script

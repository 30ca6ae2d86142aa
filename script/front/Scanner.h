// Cuts a script text into tokens.
#pragma once

#include "script/front/Token.h"

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
    SourcePosition furthest() const { return m_furthest; }

private:
    int peekChar();
    int readChar();
    // Steps of one token, each starting after its first character was read.
    bool skipComment();
    Token number(int first);
    Token name(int first);
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
    SourcePosition m_furthest;
    bool m_started = false;
    std::string m_buffer;
    SourcePosition m_tokenStart;
};

} // namespace zeb::script

#include "script/front/Token.h"

namespace zeb::script {

const char* tokenText(int code)
{
    static constexpr const char* kTexts[] = {
        "self", "super", "this",    "",      "",       "",    "",     "if",       "else",  "while",  "switch",
        "do",   "case",  "default", "break", "return", "for", "goto", "continue", "*=",    "/=",     "%=",
        "+=",   "-=",    "<<=",     ">>=",   "&=",     "^=",  "|=",   "=",        "||",    "&&",     "==",
        "!=",   "<=",    ">=",      "<<",    ">>",     "++",  "--",   "",         "local", "global", "thread",
    };
    if (code >= kSelf && code <= kThread)
        return kTexts[code - kSelf];
    return "";
}

} // namespace zeb::script

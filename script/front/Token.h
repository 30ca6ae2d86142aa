// One token of a script: its code, its value and where it stands in the text.
#pragma once

#include "script/front/SourceSpan.h"
#include "script/front/SymbolTable.h"

#include <cstdint>

namespace zeb::script {

// Token codes. Single-character tokens use the character's own code (1 to 255); the others are
// numbered from 258 in the order the language has always used.
enum TokenCode : int {
    kEnd = 0,
    kDefinitionsStart = 258,
    kStatementsStart,
    kIdentifier,
    kKeyword,
    kSelf,
    kSuper,
    kThis,
    kCharacter,
    kInteger,
    kString,
    kNumber,
    kIf,
    kElse,
    kWhile,
    kSwitch,
    kDo,
    kCase,
    kDefault,
    kBreak,
    kReturn,
    kFor,
    kGoto,
    kContinue,
    kMulAssign, // *=
    kDivAssign,
    kModAssign,
    kAddAssign,
    kSubAssign,
    kShlAssign,
    kShrAssign,
    kAndAssign,
    kXorAssign,
    kOrAssign, // |=
    kAssign, // =
    kOrOr,
    kAndAnd,
    kEqual,
    kNotEqual,
    kLessEqual,
    kGreaterEqual,
    kShl,
    kShr,
    kIncrement,
    kDecrement,
    kLexicalError,
    kLocal,
    kGlobal,
    kThread,
};

struct Token
{
    int code = kEnd;
    SourceSpan span;
    std::int32_t integer = 0; // INTEGER
    double number = 0; // NUMBER
    std::uint8_t character = 0; // CHARACTER
    Name name = nullptr; // IDENTIFIER, KEYWORD (colon included), STRING
};

// The text a token code is written as ("+=", "while"), for selectors and messages; empty for the
// codes that have no fixed form.
const char* tokenText(int code);

} // namespace zeb::script

#include "script/front/Scanner.h"

#include "testsupport/CommaDecimalLocale.h"
#include "text/Format.h"

#include <gtest/gtest.h>

#include <string>

using namespace zeb::script;

namespace {

// The tokens of text after the injected first one, written compactly; scanning stops at the end or
// at the first lexical error ("ERROR").
std::string tokens(std::string_view text)
{
    Scanner scanner(text);
    EXPECT_EQ(scanner.next().code, kDefinitionsStart);
    std::string out;
    for (int i = 0; i < 100; ++i) {
        const Token token = scanner.next();
        if (token.code == kEnd)
            break;
        if (!out.empty())
            out += ' ';
        switch (token.code) {
        case kIdentifier:
            out += "id:" + *token.name;
            break;
        case kKeyword:
            out += "kw:" + *token.name;
            break;
        case kString:
            out += "str:" + *token.name;
            break;
        case kInteger:
            out += zeb::text::format("int:%d", token.integer);
            break;
        case kNumber:
            out += zeb::text::format("num:%g", token.number);
            break;
        case kCharacter:
            out += zeb::text::format("chr:%u", token.character);
            break;
        case kLexicalError:
            return out + "ERROR";
        default:
            out += token.code < 256 ? std::string(1, static_cast<char>(token.code)) : tokenText(token.code);
        }
    }
    return out;
}

struct ScanCase
{
    const char* text;
    const char* expected;
};

TEST(Scanner, CutsEveryTokenFormIntoItsCodeAndValue)
{
    const ScanCase cases[] = {
        // operators: a run of operator characters and its '=' run is one token or an error
        {"a!=b a != b", "id:a != id:b id:a != id:b"},
        {"x+=-1", "id:x += - int:1"},
        {"x*-1", "id:x ERROR"},
        {"x===y", "id:x ERROR"},
        {"x==y=z", "id:x == id:y = id:z"},
        {"<<= >>= &= ^= |= *= /= %= -= || && <= >= << >> ++ --",
         "<<= >>= &= ^= |= *= /= %= -= || && <= >= << >> ++ --"},
        {"! @ # $ ` \\ ~ ? : ; , . ( ) [ ] { }", "! @ # $ ` \\ ~ ? : ; , . ( ) [ ] { }"},
        // numbers in every radix form; decimal clamps, the others wrap
        {"0x1F 0b101 8r17 16rff 2r102 0x", "int:31 int:5 int:15 int:255 int:2 int:2 int:0"},
        {"00x1", "int:0 id:x1"},
        {"36rZZ 100r9f 0r1", "int:0 id:ZZ int:915 int:0 int:1"}, // radices above 16 gain no digits
        {R"('\810r1' "\99r)", "chr:1 ERROR"},
        {"99999999999 2147483647 0x1FFFFFFFF", "int:2147483647 int:2147483647 int:-1"},
        {"1e3 1.5E-2 3. 3.foo 2e+2", "num:1000 num:0.015 num:3 num:3 id:foo num:200"},
        // names, keywords and reserved words
        {"at: at : if: if self this super thread local global",
         "kw:at: id:at : kw:if: if self this super thread local global"},
        {"while switch do case default break return for goto continue else _x9",
         "while switch do case default break return for goto continue else id:_x9"},
        // character and string literals with their escapes
        {R"('\n' '\65' '\0x41' '\8r101' '\\' '\'' 'a')", "chr:10 chr:65 chr:65 chr:65 chr:92 chr:39 chr:97"},
        {R"('\a\b')", "ERROR"},
        {"'ab'", "ERROR"},
        {R"("a\"b\t" "\65 B")", "str:a\"b\t str:AB"},
        {"\"broken\nstring\"", "ERROR"},
        {R"("\q")", "ERROR"},
        // comments
        {"a /* b */ c // d", "id:a id:c"},
        {"a /* never closed", "id:a ERROR"},
        {"a / b /= c", "id:a / id:b /= id:c"},
        {"a\0b", "id:a"},
    };
    for (const ScanCase& c : cases)
        EXPECT_EQ(tokens(c.text), c.expected) << c.text;
}

TEST(Scanner, RefusesATokenOf1024CharactersOrMore)
{
    for (const char* shape : {"%s", "\"%s\"", "1%s"}) {
        const std::string longest(1023 - (shape[0] == '%' ? 0 : shape[0] == '"' ? 0 : 1), '7');
        EXPECT_NE(tokens(zeb::text::format(shape, longest.c_str())), "ERROR") << shape;
        EXPECT_EQ(tokens(zeb::text::format(shape, (longest + "7").c_str())), "ERROR") << shape;
    }
    EXPECT_EQ(tokens(std::string(1024, 'n')), "ERROR");
}

TEST(Scanner, GivesSpansAndStopsItsErrorPlaceAfterTheLookAhead)
{
    Scanner scanner("main\n  { x1 }");
    scanner.next();
    const Token main = scanner.next();
    EXPECT_EQ(main.span.firstLine, 1u);
    EXPECT_EQ(main.span.firstColumn, 0u);
    EXPECT_EQ(main.span.lastColumn, 3u);
    // The line feed ended the name: it was read and pushed back, so the error place is past it.
    EXPECT_EQ(scanner.furthest().line, 2u);
    EXPECT_EQ(scanner.furthest().column, 0u);
    scanner.next();
    const Token name = scanner.next();
    EXPECT_EQ(name.span.firstLine, 2u);
    EXPECT_EQ(name.span.firstColumn, 4u);
    EXPECT_EQ(name.span.lastColumn, 5u);
    scanner.next();
    EXPECT_EQ(scanner.next().code, kEnd);
    EXPECT_EQ(scanner.furthest().offset, 13u); // the end of the text does not advance it
}

TEST(Scanner, ReadsNumbersWithADecimalPointUnderACommaLocale)
{
    const zeb::testsupport::CommaDecimalLocale french;
    if (french.noLocaledef())
        GTEST_SKIP() << french.problem();
    ASSERT_TRUE(french.active()) << french.problem();
    EXPECT_EQ(tokens("2.5"), "num:2.5");
}

TEST(Scanner, InternsEqualTextsAsOneName)
{
    Scanner scanner("abc \"abc\" abc:");
    scanner.next();
    const Name identifier = scanner.next().name;
    EXPECT_EQ(scanner.next().name, identifier);
    EXPECT_NE(scanner.next().name, identifier);
}

} // namespace

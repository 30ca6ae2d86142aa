#include "script/front/Compiler.h"
#include "script/front/ScriptImage.h"
#include "script/front/TreeDump.h"
#include "text/Format.h"

#include <gtest/gtest.h>

#include <string>

using namespace zeb::script;

namespace {

// "" when text parses, else the error place "line:column".
std::string errorAt(const std::string& text)
{
    Compiler compiler;
    if (compiler.compile(text))
        return "";
    const SourcePosition at = compiler.errorPosition();
    EXPECT_EQ(compiler.errorText(), zeb::text::format("Syntax error at line #%u:%u", at.line, at.column));
    return zeb::text::format("%u:%u", at.line, at.column);
}

// The tree of "main { BODY }", one node a line joined by " ", a dot for each level.
std::string tree(const std::string& body)
{
    Compiler compiler;
    if (!compiler.compile("main { " + body + " }"))
        return compiler.errorText();
    std::string dump = TreeDump::of(compiler.tree().method("main")->first);
    std::string out;
    for (const char c : dump) {
        if (c == '\t')
            out += '.';
        else if (c == '\n')
            out += ' ';
        else if (c != '\r')
            out += c;
    }
    return out.empty() ? out : out.substr(0, out.size() - 1);
}

std::string repeat(const std::string& text, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

struct ErrorCase
{
    std::string text;
    const char* at;
};

TEST(Parser, ReportsTheFirstSyntaxErrorWhereScanningStood)
{
    const ErrorCase cases[] = {
        {"", "1:0"},
        {"main { }", "1:8"},
        {"main { ; }", ""},
        {"main { { } }", ""},
        {"main {\n  x = 1\n}", "3:1"},
        {"main { default: x; }", "1:15"},
        {"main { switch (x) { default : x; case 1: y; } }", ""},
        {"main { case n: x; }", "1:14"},
        {"main { l : x; goto l; }", ""},
        {"main { c ? a: b; }", "1:13"},
        {"main { c ? a : b; }", ""},
        {"main { a!b; }", "1:10"},
        {"main { x*-1; }", "1:11"},
        {"main { x = 'ab'; }", "1:14"},
        {"main { /* open", "1:14"},
        {"main { x; } // last line", ""},
        {"main { a + b = c; }", "1:15"},
        {"main { x foo.bar; }", "1:13"},
        {"main { x.bar foo; }", ""},
        {"local a, b; at: i put: v { ; } + x { ; } ~ x { ; } value { ; }", ""},
        {"^ x { ; }", "1:2"},
        {"main { local; }", "1:13"},
        {"main { x = thread o run: 1; }", ""},
        {"main { for (;;) ; for (i;;) ; for (;i;) ; for (;;i) ; do ; while (1); }", ""},
        {"main { o a: 1 b: 2 c: 3 d: 4 e: 5 f: 6 g: 7 h: 8; }", ""},
        {"main { o a: 1 b: 2 c: 3 d: 4 e: 5 f: 6 g: 7 h: 8 i: 9; }", "1:54"},
        {"a: x b: x c: x d: x e: x f: x g: x h: x i: x { ; }", "1:46"},
        {"main { " + repeat("(", 990) + "x" + repeat(")", 990) + "; }", ""},
        {"main { " + repeat("(", 1001) + "x" + repeat(")", 1001) + "; }", "1:1008"},
        {"main { " + repeat("{", 1001) + repeat("}", 1001) + " }", "1:1008"},
        {"main { " + repeat("- ", 1001) + "x; }", "1:2009"},
        {"main { a" + repeat(" + a", 999) + "; }", ""},
        {"main { a" + repeat(" + a", 1000) + "; }", "1:4009"},
        {"main { " + repeat("x; ", 20000) + "}", ""},
    };
    for (const ErrorCase& c : cases)
        EXPECT_EQ(errorAt(c.text), c.at) << c.text.substr(0, 80);
}

// Every construct that nests: at 900 levels the script parses, compiles and dumps; past 1000 it is
// a syntax error, whatever the construct, and never a stack overflow.
TEST(Parser, BoundsTheNestingOfEveryConstruct)
{
    using Shape = std::string (*)(int);
    const Shape shapes[] = {
        [](int n) { return repeat("(", n) + "x" + repeat(")", n) + ";"; },
        [](int n) { return repeat("[", n) + "1" + repeat("]", n) + ";"; },
        [](int n) { return repeat("{", n) + repeat("}", n); },
        [](int n) { return repeat("if (1) ", n) + "x;"; },
        [](int n) { return repeat("while (1) ", n) + "x;"; },
        [](int n) { return repeat("a = ", n) + "1;"; },
        [](int n) { return repeat("thread ", n) + "x;"; },
        [](int n) { return repeat("- ", n) + "x;"; },
        [](int n) { return repeat("c ? a : ", n) + "b;"; },
        [](int n) { return "x" + repeat(" a", n) + ";"; },
        [](int n) { return "x" + repeat("[1]", n) + ";"; },
        [](int n) { return "x" + repeat("++ ", n) + ";"; },
        [](int n) { return "x" + repeat(" + x", n) + ";"; },
        [](int n) { return repeat("x at: (", n) + "1" + repeat(")", n) + ";"; },
    };
    for (const Shape shape : shapes) {
        const std::string deep = "main { " + shape(900) + " }";
        Compiler compiler;
        ASSERT_TRUE(compiler.compile(deep)) << deep.substr(0, 40);
        ScriptImage image;
        compiler.install(image);
        EXPECT_FALSE(TreeDump::of(compiler.tree().method("main")->first).empty() && image.methodCount() == 0);
        const std::string tooDeep = "main { " + shape(1001) + " }";
        EXPECT_FALSE(compiler.compile(tooDeep)) << tooDeep.substr(0, 40);
    }
}

struct TreeCase
{
    const char* body;
    const char* tree;
};

TEST(Parser, BuildsTreesByPrecedenceAndAssociativity)
{
    const TreeCase cases[] = {
        {"a + b foo;", "[MESSAGE +] .[IDENTIFIER a] .[MESSAGE foo] ..[IDENTIFIER b]"},
        {"x name print;", "[MESSAGE print] .[MESSAGE name] ..[IDENTIFIER x]"},
        {"- x abs;", "[MESSAGE negate] .[MESSAGE abs] ..[IDENTIFIER x]"},
        {"a - b - c;", "[MESSAGE -] .[MESSAGE -] ..[IDENTIFIER a] ..[IDENTIFIER b] .[IDENTIFIER c]"},
        {"a || b && c | d ^ e & f;",
         "[MESSAGE ||] .[IDENTIFIER a] .[MESSAGE &&] ..[IDENTIFIER b] ..[MESSAGE |] ...[IDENTIFIER c] "
         "...[MESSAGE ^] ....[IDENTIFIER d] ....[MESSAGE &] .....[IDENTIFIER e] .....[IDENTIFIER f]"},
        {"a == b < c << d + e * f;",
         "[MESSAGE ==] .[IDENTIFIER a] .[MESSAGE <] ..[IDENTIFIER b] ..[MESSAGE <<] ...[IDENTIFIER c] "
         "...[MESSAGE +] ....[IDENTIFIER d] ....[MESSAGE *] .....[IDENTIFIER e] .....[IDENTIFIER f]"},
        {"a at: (b max: 1) put: 2;",
         "[MESSAGE at:put:] .[IDENTIFIER a] .[MESSAGE max:] ..[IDENTIFIER b] ..[INTEGER 1] .[INTEGER 2]"},
        {"a at: 1 + 2 put: b c;",
         "[MESSAGE at:put:] .[IDENTIFIER a] .[MESSAGE +] ..[INTEGER 1] ..[INTEGER 2] .[MESSAGE c] ..[IDENTIFIER b]"},
        {"x = y += 2;", "[ASSIGNMENT =] .[IDENTIFIER x] .[ASSIGNMENT +=] ..[IDENTIFIER y] ..[INTEGER 2]"},
        {"c ? a : b ? d : e;",
         "[?] .[IDENTIFIER c] .[IDENTIFIER a] .[?] ..[IDENTIFIER b] ..[IDENTIFIER d] ..[IDENTIFIER e]"},
        {"if (a) if (b) x; else y;", "[IF] .[IDENTIFIER a] .[IF] ..[IDENTIFIER b] ..[IDENTIFIER x] ..[IDENTIFIER y]"},
        {"x = 'c', \"s\", 2.5, 7;",
         "[ASSIGNMENT =] .[IDENTIFIER x] .[CHARACTER 'c'] [STRING \"s\"] [NUMBER 2.5] [INTEGER 7]"},
        {"self; super; local a; { a; } thread o run; x++; [1]; y[1];",
         "[UNKNOWN] [UNKNOWN] [UNKNOWN] [UNKNOWN] [UNKNOWN]"},
        {"while (a) b; do c; while (d); for (;;) e; return;",
         "[WHILE] .[IDENTIFIER a] .[IDENTIFIER b] [DO WHILE] .[IDENTIFIER d] .[IDENTIFIER c] [FOR] .[IDENTIFIER e] "
         "[RETURN]"},
        {"switch (a) { case 1 : b; default : break; } l : continue; goto l;",
         "[SWITCH] .[IDENTIFIER a] .[UNKNOWN] [LABEL l] .[CONTINUE] [GOTO l]"},
        {"switch (a) case 1 : default : break;",
         "[SWITCH] .[IDENTIFIER a] .[CASE] ..[INTEGER 1] ..[DEFAULT] ...[BREAK]"},
    };
    for (const TreeCase& c : cases)
        EXPECT_EQ(tree(c.body), c.tree) << c.body;
}

// "first line:column-last line:column" of each statement of main's body.
std::string spans(const std::string& body)
{
    Compiler compiler;
    if (!compiler.compile("main {\n" + body + "}"))
        return compiler.errorText();
    const Node* node = compiler.tree().method("main")->first;
    std::string out;
    for (node = node->kind == NodeKind::Sequence ? node->items : node; node != nullptr; node = node->next) {
        const SourceSpan& s = node->span;
        out += zeb::text::format("%s%u:%u-%u:%u", out.empty() ? "" : " ", s.firstLine, s.firstColumn, s.lastLine,
                                 s.lastColumn);
    }
    return out;
}

TEST(Parser, SpansANodeFromItsFirstTokenToItsLast)
{
    EXPECT_EQ(spans("  x = a +\n    b;\n"), "2:2-3:4");
    EXPECT_EQ(spans("if (a) b; else { c; }\nwhile (x)\n  y;\n"), "2:0-2:20 3:0-4:3");
    EXPECT_EQ(spans("o at: 1 put: \"two\";  l : x;\r\nlocal a, b;"), "2:0-2:17 2:21-2:26 3:0-3:10");
    EXPECT_EQ(spans("return;\nthread o run: [1, 2];"), "2:0-2:6 3:0-3:19");
}

} // namespace

#include "script/front/Compiler.h"
#include "script/front/Listing.h"
#include "script/front/ScriptImage.h"

#include <gtest/gtest.h>

#include <string>

using namespace zeb::script;

namespace {

struct Compiled
{
    Compiler compiler;
    ScriptImage image;
    std::vector<Diagnostic> diagnostics;
};

std::unique_ptr<Compiled> compile(const std::string& text)
{
    auto compiled = std::make_unique<Compiled>();
    EXPECT_TRUE(compiled->compiler.compile(text)) << compiled->compiler.errorText() << " in " << text;
    compiled->diagnostics = compiled->compiler.install(compiled->image);
    return compiled;
}

// One line per instruction joined by " | ", without the code positions; "not installed" when main
// did not compile.
std::string listing(const std::string& text)
{
    const auto compiled = compile(text);
    const CompiledMethod* method = compiled->image.method("main");
    if (method == nullptr)
        return "not installed";
    std::string out;
    const std::string lines = Listing::of(*method);
    for (std::size_t at = 0; at < lines.size();) {
        const std::size_t end = lines.find("\r\n", at);
        out += (out.empty() ? "" : " | ") + lines.substr(at + 5, end - at - 5);
        at = end + 2;
    }
    return out;
}

struct CodeCase
{
    const char* script;
    const char* code;
};

TEST(CodeGenerator, CompilesEachConstruct)
{
    const CodeCase cases[] = {
        {"main { ; }", "LINK 0"},
        {"main { local x; x -= 3; }", "LINK 1 | INTEGER 3 | PUSH | GET_LOCAL 0 | SEND - | SET_LOCAL 0"},
        {"main { local a, a; { local b; b = 1; } { local c; local a; c = a; } }",
         "LINK 3 | INTEGER 1 | SET_LOCAL 1 | GET_LOCAL 2 | SET_LOCAL 1"},
        {"main { a[i] -= 3; }",
         "LINK 0 | INTEGER 3 | PUSH | GET_GLOBAL \"i\" | PUSH | GET_GLOBAL \"a\" | SEND at: | SEND - | PUSH | "
         "GET_GLOBAL \"i\" | PUSH | GET_GLOBAL \"a\" | SEND at:put:"},
        {"main { a[i] = v; }",
         "LINK 0 | GET_GLOBAL \"v\" | PUSH | GET_GLOBAL \"i\" | PUSH | GET_GLOBAL \"a\" | SEND at:put:"},
        {"main { x++; ++x; a[1]--; }",
         "LINK 0 | GET_GLOBAL \"x\" | SEND increment | SET_GLOBAL \"x\" | GET_GLOBAL \"x\" | SEND increment | "
         "SET_GLOBAL \"x\" | INTEGER 1 | PUSH | GET_GLOBAL \"a\" | SEND at: | SEND decrement | PUSH | INTEGER 1 | "
         "PUSH | GET_GLOBAL \"a\" | SEND at:put:"},
        {"main { (a) = 1; self = 2; (a + 1)++; }", "LINK 0 | INTEGER 1 | SET_GLOBAL \"a\""},
        {"main { if (c) ; else y; }", "LINK 0 | GET_GLOBAL \"c\" | BRANCH_IF_TRUE 8 | GET_GLOBAL \"y\""},
        {"main { for (;;) x; }", "LINK 0 | GET_GLOBAL \"x\" | BRANCH 2"},
        {"main { while (c) { if (d) continue; break; } }",
         "LINK 0 | GET_GLOBAL \"c\" | BRANCH_IF_FALSE 16 | GET_GLOBAL \"d\" | BRANCH_IF_FALSE 12 | BRANCH 2 | "
         "BRANCH 16 | BRANCH 2"},
        {"main { do { continue; } while (c); }", "LINK 0 | BRANCH 4 | GET_GLOBAL \"c\" | BRANCH_IF_TRUE 2"},
        {"main { c ? a : b; }",
         "LINK 0 | GET_GLOBAL \"c\" | BRANCH_IF_FALSE 10 | GET_GLOBAL \"a\" | BRANCH 12 | GET_GLOBAL \"b\""},
        {"main { switch (s) { case 1 : a; } }",
         "LINK 1 | GET_GLOBAL \"s\" | SET_LOCAL 0 | INTEGER 1 | PUSH | GET_LOCAL 0 | SEND == | BRANCH_IF_TRUE 18 | "
         "BRANCH 20 | GET_GLOBAL \"a\""},
        {"main { { local t; t = 1; } t = 2; { local a; a = 3; } { local b; b = 4; } }",
         "LINK 1 | INTEGER 1 | SET_LOCAL 0 | INTEGER 2 | SET_GLOBAL \"t\" | INTEGER 3 | SET_LOCAL 0 | INTEGER 4 | "
         "SET_LOCAL 0"},
        {"main { switch (a) { case 1 : switch (b) { case 2 : x; } default : y; } }",
         "LINK 2 | GET_GLOBAL \"a\" | SET_LOCAL 0 | INTEGER 1 | PUSH | GET_LOCAL 0 | SEND == | BRANCH_IF_TRUE 18 | "
         "BRANCH 36 | GET_GLOBAL \"b\" | SET_LOCAL 1 | INTEGER 2 | PUSH | GET_LOCAL 1 | SEND == | BRANCH_IF_TRUE 34 | "
         "BRANCH 36 | GET_GLOBAL \"x\" | GET_GLOBAL \"y\""},
        {"main { l : x; goto l; goto m; m : ; }", "LINK 0 | GET_GLOBAL \"x\" | BRANCH 2 | BRANCH 8"},
        {"main { thread o run: 1; x; }",
         "LINK 0 | INTEGER 1 | PUSH | GET_GLOBAL \"o\" | THREAD run: | GET_GLOBAL \"x\""},
        {"main { thread x; y; }", "LINK 0 | GET_GLOBAL \"y\""},
        {"main { thread x; }", "not installed"},
        {"main { 'A', 65, 1.5, \"s\", super, this; }",
         "LINK 0 | CHARACTER A | INTEGER 65 | NUMBER 1.500000 | STRING \"s\" | SUPER | SELF"},
        {"main { o at: 1 put: 2; }", "LINK 0 | INTEGER 2 | PUSH | INTEGER 1 | PUSH | GET_GLOBAL \"o\" | SEND at:put:"},
        {"main { [1, 2]; +x; -x; ~x; return; }",
         "LINK 0 | INTEGER 1 | PUSH | INTEGER 2 | PUSH | ARRAY 2 | GET_GLOBAL \"x\" | GET_GLOBAL \"x\" | SEND negate | "
         "GET_GLOBAL \"x\" | SEND bitComplement | RETURN"},
    };
    for (const CodeCase& c : cases)
        EXPECT_EQ(listing(c.script), c.code) << c.script;
}

TEST(CodeGenerator, ResolvesLocalsThenArgumentsThenScriptVariablesThenGlobals)
{
    const auto compiled = compile("local s, a; at: a put: v { { local v; v = a; } s = v; a = g; }");
    const CompiledMethod* method = compiled->image.method("at:put:");
    ASSERT_NE(method, nullptr);
    EXPECT_EQ(Listing::of(*method),
              "0000 LINK 1\r\n0002 GET_ARGUMENT 0\r\n0004 SET_LOCAL 0\r\n0006 GET_ARGUMENT 1\r\n"
              "0008 SET_SCRIPT \"s\"\r\n0010 GET_GLOBAL \"g\"\r\n0012 SET_ARGUMENT 0\r\n");
    EXPECT_EQ(method->arguments().size(), 2u);
}

TEST(CodeGenerator, ReportsJumpsWithoutTargetsAndLeavesTheMethodOut)
{
    const char* scripts[] = {
        "main { break; }",        "main { switch (x) { case 1 : continue; } }",
        "main { goto nowhere; }", "main { l : ; l : ; }",
        "main { case 1 : x; }",   "main { switch (x) { default : ; default : ; } }",
    };
    for (const char* script : scripts) {
        const auto compiled = compile(script);
        EXPECT_EQ(compiled->image.method("main"), nullptr) << script;
        ASSERT_EQ(compiled->diagnostics.size(), 2u) << script;
        EXPECT_EQ(compiled->diagnostics[0].line, 1u);
        EXPECT_GT(compiled->diagnostics[0].column, 6u) << script;
        EXPECT_EQ(compiled->diagnostics[1].text, "method \"main\" was not installed");
    }
}

TEST(CodeGenerator, ComputesTheOperandDepthAndTheLineTable)
{
    const auto compiled = compile("main {\n o a: 1 b: [2, [3, 4]];\n\n x;\n}");
    const CompiledMethod* method = compiled->image.method("main");
    ASSERT_NE(method, nullptr);
    EXPECT_EQ(method->maxStackDepth(), 3u); // 2, 3 and 4 pushed while the argument [2, [3, 4]] is built
    ASSERT_EQ(method->lines().size(), 2u);
    EXPECT_EQ(method->lines()[0].line, 2u);
    EXPECT_EQ(method->lines()[0].position, 2u);
    EXPECT_EQ(method->lines()[1].line, 4u);
}

// A for loop's step is generated after its body although it stands on an earlier line: each line
// keeps the lowest position generated for it, and the table stays sorted by line.
TEST(CodeGenerator, KeepsTheLineTableSortedWithTheLowestPositionOfEachLine)
{
    const auto compiled = compile("main {\n for (i = 0; i < 3;\n i++)\n x;\n}");
    const auto& lines = compiled->image.method("main")->lines();
    std::string table;
    for (const CompiledMethod::LineEntry& entry : lines)
        table += std::to_string(entry.line) + "@" + std::to_string(entry.position) + " ";
    EXPECT_EQ(table, "2@2 3@18 4@16 ");
}

TEST(CodeGenerator, RefusesAMethodBeyondItsLiteralBound)
{
    std::string body;
    for (std::size_t i = 0; i <= CompiledMethod::kMaxLiterals; ++i)
        body += "\"\";";
    const auto compiled = compile("main { " + body + " } small { \"\"; }");
    EXPECT_EQ(compiled->image.method("main"), nullptr);
    EXPECT_NE(compiled->image.method("small"), nullptr);
    EXPECT_NE(compiled->diagnostics.at(0).text.find("too large"), std::string::npos);
}

TEST(CodeGenerator, StopsAMethodAtItsCodeBound)
{
    CompiledMethod method;
    for (std::size_t i = 0; i < CompiledMethod::kMaxCodeWords / 2; ++i)
        method.emit(Opcode::Integer, 1);
    EXPECT_FALSE(method.overflowed());
    method.emit(Opcode::Push);
    EXPECT_TRUE(method.overflowed());
    EXPECT_EQ(method.code().size(), CompiledMethod::kMaxCodeWords);
}

TEST(CodeGenerator, InstallsABinaryMethodUnderEachOperator)
{
    const char* operators[]
        = {"||", "&&", "==", "!=", "<=", ">=", "<<", ">>", "+", "-", "*", "/", "%", "<", ">", "&", "|", "~"};
    std::string script;
    for (const char* op : operators)
        script += std::string(op) + " other { other; } ";
    const auto compiled = compile(script);
    for (const char* op : operators) {
        const CompiledMethod* method = compiled->image.method(op);
        ASSERT_NE(method, nullptr) << op;
        EXPECT_EQ(Listing::of(*method), "0000 LINK 0\r\n0002 GET_ARGUMENT 0\r\n") << op;
    }
}

TEST(CodeGenerator, InstallsALaterMethodOverAnEarlierOneOfTheSameSelector)
{
    const auto compiled = compile("if: c then: x { 1; } main { 1; } main { 2; }");
    EXPECT_EQ(compiled->image.methodCount(), 2u);
    EXPECT_NE(compiled->image.method("if:then:"), nullptr);
    EXPECT_EQ(compiled->image.method("main")->code().back(), 2u);
}

TEST(CodeGenerator, ListsAnyWordsIncludingOnesThatAreNoInstruction)
{
    CompiledMethod method;
    method.emit(Opcode::GetInstance, 1);
    method.emit(Opcode::SetInstance, 2);
    method.emit(Opcode::Unused);
    method.emit(Opcode::Link); // its operand is missing: the last word is listed alone
    EXPECT_EQ(Listing::of(method), "0000 GET_INSTANCE 1\r\n0002 SET_INSTANCE 2\r\n0004 ???? 17\r\n0005 ???? 24\r\n");
}

TEST(CodeGenerator, SendsTheOperatorOfEachCompoundAssignment)
{
    const auto compiled = compile("main { local x; x *= 1; x /= 1; x %= 1; x += 1; x -= 1; x <<= 1; x >>= 1; "
                                  "x &= 1; x ^= 1; x |= 1; }");
    const std::string lines = Listing::of(*compiled->image.method("main"));
    std::string sent;
    for (std::size_t at = lines.find("SEND "); at != std::string::npos; at = lines.find("SEND ", at + 1))
        sent += lines.substr(at + 5, lines.find('\r', at) - at - 5) + " ";
    EXPECT_EQ(sent, "* / % + - << >> & ^ | ");
}

TEST(CodeGenerator, BindsNamesToTheScriptVariablesOfEachTarget)
{
    Compiler compiler;
    ASSERT_TRUE(compiler.compile("main { v = w; } local w;"));
    ScriptImage withV;
    withV.declareScriptVariable(SymbolTable::intern("v"));
    EXPECT_TRUE(compiler.install(withV).empty());
    EXPECT_EQ(Listing::of(*withV.method("main")), "0000 LINK 0\r\n0002 GET_SCRIPT \"w\"\r\n0004 SET_SCRIPT \"v\"\r\n");
    ScriptImage plain; // a second install binds anew: v is a global there
    compiler.install(plain);
    EXPECT_EQ(Listing::of(*plain.method("main")), "0000 LINK 0\r\n0002 GET_SCRIPT \"w\"\r\n0004 SET_GLOBAL \"v\"\r\n");
    EXPECT_TRUE(plain.hasScriptVariable(SymbolTable::intern("w")));
}

TEST(CodeGenerator, RecordsEachNodesCodeRangeAndEncodesNumbersLowWordFirst)
{
    Compiler compiler;
    ASSERT_TRUE(compiler.compile("main { x = 1.5; y; }"));
    ScriptImage image;
    compiler.install(image);
    const Node* body = compiler.tree().method("main")->first;
    const Node* assignment = body->items;
    EXPECT_EQ(assignment->firstCode, 2u);
    EXPECT_EQ(assignment->lastCode, 6u);
    EXPECT_EQ(assignment->next->firstCode, 7u);
    EXPECT_EQ(assignment->next->lastCode, 8u);
    const auto& code = image.method("main")->code();
    EXPECT_EQ(code[3], 0u);
    EXPECT_EQ(code[4], 0x3FF80000u);
}

} // namespace

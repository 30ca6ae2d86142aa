#include "script/front/Compiler.h"
#include "script/vm/Run.h"

#include <gtest/gtest.h>

#include <string>

using namespace zeb::script;
using namespace zeb::script::vm;

namespace {

struct Outcome
{
    std::string output;
    Run::Result result;
};

Outcome runScript(const std::string& text, Run::Limits limits = {})
{
    static Machine machine;
    Compiler compiler;
    EXPECT_TRUE(compiler.compile(text)) << compiler.errorText();
    StringSink sink;
    vm::Run run(machine, sink);
    EXPECT_TRUE(compiler.install(run).empty());
    const Run::Result result = run.runMain(limits);
    return {sink.text(), result};
}

struct Case
{
    const char* name;
    const char* body; // the body of main
    const char* output;
};

class Rule : public testing::TestWithParam<Case>
{ };

TEST_P(Rule, PrintsWhatTheRuleSays)
{
    const Case& rule = GetParam();
    const Outcome outcome = runScript(std::string("main {\n") + rule.body + "\n}\n");
    EXPECT_EQ(outcome.output, rule.output);
    EXPECT_EQ(outcome.result, Run::Result::Finished);
}

// The numeric rules: 32-bit Integers, anything else a Number, no traps.
const Case kNumbers[] = {
    {"IntegerOverflowBecomesNumber", "(2147483647 + 1) print;", "2.14748e+09"},
    {"ProductOverflowBecomesNumber", "(65536 * 65536) class print;", "Number"},
    {"DivisionIsFloating", "(7 / 2) print; \" \" print; (6 / 3) class print;", "3.5 Integer"},
    {"DivisionByZeroIsInfinite", "(1 / 0) print; \" \" print; (-1 / 0) print; \" \" print; (0 / 0) print;",
     "inf -inf nan"},
    {"RemainderByZeroIsZero", "(5 % 0) print;", "0"},
    {"LowestRemainderMinusOneIsZero", "((-2147483647 - 1) % -1) print;", "0"},
    {"IntegerPrimitivesCoerceNumerically", "(7 % 2.9) print; \" \" print; (1 << 33) print;", "1 2"},
    {"NumberArgumentToInteger", "(1 + 0.5) print; \" \" print; (0.5 + 0.5) class print;", "1.5 Integer"},
    {"CharacterCoercesByItsCode", "(1 + 'a') print;", "98"},
    {"ComparisonsAnswerOneOrZero", "(1 < 2) print; (2 < 1.5) print; (3 == 3.0) print;", "100"},
};
INSTANTIATE_TEST_SUITE_P(Numbers, Rule, testing::ValuesIn(kNumbers),
                         [](const auto& info) { return std::string(info.param.name); });

// Objects, strings, arrays and messages.
const Case kObjects[] = {
    {"DeletedObjectReadsAsNil", "local a, b; a = Array new: 2; b = [a]; a delete; a print; (b at: 0) print; a delete;",
     "anUndefinedObjectanUndefinedObject"},
    {"ClassesCannotBeDeleted", "Array delete; (Array new: 1) size print;", "1"},
    {"NotUnderstoodPrintsReceiver", "5 foo; self bar: 1;",
     "5 doesNotUnderstand:foo\r\nanObject doesNotUnderstand:bar:\r\n"},
    {"LogicalOperators", "(1 && 2) print; (1 && 0) print; (0 || \"x\") print; (nil || 0) print;", "1010"},
    {"ArrayBounds", "local a; a = Array new: 3; (a at: 3) print; (a at: 0) print; (a at: -1 put: 5) print;",
     "0anUndefinedObject0"},
    {"ArraySizeLimit", "(Array new: -1) print; (Array new: 67108865) print;", "00"},
    {"StringsAreValues", "local a, b; a = \"ab\"; b = a + \"cd\"; a print; b print; b size print; (b at: 3) print;",
     "ababcd4d"},
    {"StringPlusNonStringIsEmpty", "(\"ab\" + 1) size print;", "0"},
    {"ArticleNames", "(Array new: 1) print; self print; Integer print; Integer superclass name print;",
     "anArrayanObjectIntegerNumber"},
};
INSTANTIATE_TEST_SUITE_P(Objects, Rule, testing::ValuesIn(kObjects),
                         [](const auto& info) { return std::string(info.param.name); });

// Integer bit operations and the Number functions.
const Case kLibrary[] = {
    {"BitOperations", "(6 & 3) print; (6 | 3) print; (6 ^ 3) print; 0 bitComplement print;", "275-1"},
    {"ShiftsTakeTheCountModulo32", "(1 << 31) print; \" \" print; (-8 >> 1) print; (-8 >> 33) print;",
     "-2147483648 -4-4"},
    {"FunctionsNormaliseTheirResults", "4 sqrt class print; 2 sqrt class print; -3 abs print; 0 cos print;",
     "IntegerNumber31"},
    {"IncrementPastTheRangeBecomesNumber", "local i; i = 2147483647; i++; i class print; i print;",
     "Number2.14748e+09"},
    {"CharactersPrintThemselves", "'a' print; 'a' class print; ('a' == 'a') print;", "aCharacter1"},
    {"StringIndexOutOfRange", "(\"ab\" at: 2) print; (\"ab\" at: -1) print;", "00"},
    {"ObjectHasNoSuperclass", "Object superclass print; 5 class class print;", "anUndefinedObjectClass"},
};
INSTANTIATE_TEST_SUITE_P(Library, Rule, testing::ValuesIn(kLibrary),
                         [](const auto& info) { return std::string(info.param.name); });

// Sends the dispatch loop answers itself answer what the primitives would.
const Case kInline[] = {
    {"MixedArithmeticIsFloatingAndNormalised",
     "(1.5 + 1) print; \" \" print; (2.5 * 2) class print; \" \" print; (0.25 - 1) print; \" \" print; (-7 / 2) print;",
     "2.5 Integer -0.75 -3.5"},
    {"NumberComparisons", "(1.5 < 2) print; (2 <= 1.5) print; (2.5 >= 2.5) print; (0.5 > 1) print;", "1010"},
    {"EqualityNeedsTheSameKind", "(0.5 == 0.5) print; (2.0 / 1 == 2) print; (3 != 3.0) print; (0 / 0 == 0 / 0) print;",
     "1110"},
    {"NumberIncrementNormalises", "local x; x = 1.5; x++; x print; x = 2147483647 + 1; x--; x class print;",
     "2.5Integer"},
    {"ArrayElements",
     "local a; a = Array new: 2; (a at: 1 put: 7) print; a[0] = \"x\"; a[0] print; (a at: 1.0) print; (a at: 2) print;"
     "a delete; (a at: 0) print;",
     "7x70anUndefinedObject doesNotUnderstand:at:\r\nanUndefinedObject"},
    {"InPlaceAppendLeavesOtherHoldersAlone",
     "local s, t, a; s = \"ab\" + \"c\"; t = s; s = s + \"d\"; a = [s]; s = s + \"e\"; s = s + s;"
     "t print; \" \" print; a[0] print; \" \" print; s print;",
     "abc abcd abcdeabcde"},
    {"StringGrownInALoop",
     "local s, i; s = \"\"; for (i = 0; i < 1000; i++) s = s + \"xy\"; s size print; (s at: 1999) print;", "2000y"},
};
INSTANTIATE_TEST_SUITE_P(Inline, Rule, testing::ValuesIn(kInline),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Interpreter, ScriptMethodsWinOverInlineAnswers)
{
    const Outcome outcome = runScript("at: i { return i * 2; }\nincrement { return 5; }\n"
                                      "main { (self at: 4) print; self increment print; }\n");
    EXPECT_EQ(outcome.output, "85");
}

TEST(Interpreter, DeepRecursionPrintsStackOverflowAndEndsTheThread)
{
    const Outcome outcome
        = runScript("down: n { return self down: n + 1; }\nmain { self down: 0; \"after\" print; }\n");
    EXPECT_EQ(outcome.output, "Stack overflow\r\n");
    EXPECT_EQ(outcome.result, Run::Result::StackOverflow);
}

TEST(Interpreter, DeepRecursionKeepsEveryFramesLocals)
{
    // 3,000 frames of four locals each reach far past the stack's first values.
    const Outcome outcome = runScript("sum: n { local a, b, c, d; if (n == 0) return 0; a = n; b = a; c = b; d = c;\n"
                                      "    return d + (self sum: n - 1); }\n"
                                      "main { (self sum: 3000) print; }\n");
    EXPECT_EQ(outcome.output, "4501500");
}

TEST(Interpreter, RecursionThroughPrimitivesStopsBeforeTheNativeStackRunsOut)
{
    const Outcome outcome = runScript("print { self printLine; }\nmain { self print; }\n");
    EXPECT_EQ(outcome.output, "Stack overflow\r\n");
    EXPECT_EQ(outcome.result, Run::Result::StackOverflow);
}

TEST(Interpreter, EndlessLoopStopsAtItsStepBudgetOrTimeLimit)
{
    EXPECT_EQ(runScript("main { while (1) ; }", {{}, 100000}).result, Run::Result::OutOfSteps);
    // Sends answered inline are no steps, the loop's branch still is.
    EXPECT_EQ(runScript("main { local i; i = 0; while (1) i = i + 1; }", {{}, 100000}).result, Run::Result::OutOfSteps);
    EXPECT_EQ(runScript("main { while (1) ; }", {std::chrono::milliseconds(50), 0}).result, Run::Result::TimedOut);
}

TEST(Interpreter, SuperSendStartsAboveTheClassWhereTheMethodWasFound)
{
    // print on a script object is its own method; super print finds Object's.
    const Outcome outcome = runScript("print { \"mine \" print; super print; }\nmain { self print; }\n");
    EXPECT_EQ(outcome.output, "mine anObject");
}

TEST(Interpreter, RunDeletesTheObjectsItMade)
{
    Machine machine;
    const std::size_t before = machine.heap().size();
    {
        Compiler compiler;
        ASSERT_TRUE(compiler.compile("local kept;\nmain { kept = Array new: 5; [1, 2]; }\n"));
        StringSink sink;
        vm::Run run(machine, sink);
        compiler.install(run);
        EXPECT_EQ(run.runMain({}), Run::Result::Finished);
        EXPECT_EQ(machine.heap().size(), before + 3); // the script object and two arrays
    }
    EXPECT_EQ(machine.heap().size(), before);
}

TEST(Interpreter, ScriptVariablesStartAtZeroAndUnsetGlobalsAtNil)
{
    const Outcome outcome = runScript("local counter;\nmain { counter = counter + 1; counter print; unset print; }\n");
    EXPECT_EQ(outcome.output, "1anUndefinedObject");
}

TEST(Interpreter, PrimitivesSendThroughTheScriptsOwnMethods)
{
    // printLine and doesNotUnderstand: send print, which the script object defines itself.
    const Outcome outcome = runScript("print { \"me\" print; }\nmain { self printLine; self foo; }\n");
    EXPECT_EQ(outcome.output, "me\r\nme doesNotUnderstand:foo\r\n");
}

TEST(Interpreter, ArgumentsArriveInOrderAndAMethodAnswersItsLastValue)
{
    const Outcome outcome = runScript("a: x b: y { x print; y print; x = 9; x print; }\n"
                                      "main { self a: 1 b: \"two\"; (self a: [3, 4] b: nil) print; }\n");
    EXPECT_EQ(outcome.output, "1two9anArrayanUndefinedObject99");
}

TEST(Interpreter, ReinstalledMethodIsFoundAtACachedSendSite)
{
    Machine machine;
    StringSink sink;
    vm::Run run(machine, sink);
    Compiler first;
    ASSERT_TRUE(first.compile("greet { \"old\" print; }\nmain { local i; for (i = 0; i < 2; i++) self greet; }\n"));
    first.install(run);
    EXPECT_EQ(run.runMain({}), Run::Result::Finished);
    Compiler second;
    ASSERT_TRUE(second.compile("greet { \"new\" print; }\n"));
    second.install(run);
    EXPECT_EQ(run.runMain({}), Run::Result::Finished);
    EXPECT_EQ(sink.text(), "oldoldnewnew");
}

TEST(Interpreter, DeletingTheRunningReceiverLetsItsMethodFinish)
{
    const Outcome outcome = runScript("main { self delete; self print; \"done\" print; }\n");
    EXPECT_EQ(outcome.output, "anUndefinedObjectdone");
    EXPECT_EQ(outcome.result, Run::Result::Finished);
}

TEST(Interpreter, ScriptWithoutMainDoesNotRun)
{
    EXPECT_EQ(runScript("other { return; }").result, Run::Result::NoMain);
}

} // namespace

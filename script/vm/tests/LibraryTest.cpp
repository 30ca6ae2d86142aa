// Rules of the library classes that a script sees and the golden scripts do not show.
#include "ScriptRunFixture.h"
#include "platform/HeadlessDispatcher.h"
#include "platform/MessageListeners.h"
#include "platform/MessageRegistry.h"
#include "platform/MessageTarget.h"
#include "script/vm/NumberText.h"
#include "testsupport/CommaDecimalLocale.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <memory>
#include <string>

using namespace zeb::script::vm;

namespace {

struct Case
{
    const char* name;
    const char* script;
    const char* output;
};

class LibraryRule : public testing::TestWithParam<Case>
{ };

TEST_P(LibraryRule, PrintsWhatTheRuleSays)
{
    ScriptRunFixture<Host> fixture;
    fixture.run(GetParam().script);
    EXPECT_EQ(fixture.sink.text(), GetParam().output);
}

const Case kCases[] = {
    // "+" lends the argument a Buffer only for the time of its print:.
    {"PrintBlockGoesAfterTheAppend",
     "local kept;\nprint: b { kept = b; b + \"me\"; }\n"
     "main { local x; x = Buffer new: 10; x + self; x print; kept print; }",
     "meanUndefinedObject"},
    {"ReceiverDeletedByThePrintedObject",
     "local target;\nprint: b { target delete; b + \"late\"; }\n"
     "main { target = Buffer new: 10; (target + self) print; target print; }",
     "anUndefinedObjectanUndefinedObject"},
    {"CompileKeepsTheValueOfAVariableItDeclaresAgain",
     "main { local o; o = Array new: 1; o compile: \"local n;\\nup { n++; return n; }\"; o up; o up;\n"
     "o compile: \"local n;\\ndown { n--; return n; }\"; o down print; o up print; }",
     "12"},
    {"StringsPrintIntoBuffersOnly",
     "main { local s; s = \"keep\"; 12 print: s; \"x\" print: s; Integer print: s; s print:"
     " (Array new: 1); s print; }",
     "keep"},
};
INSTANTIATE_TEST_SUITE_P(Library, LibraryRule, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LibraryRules, AppendTakesAtMostOnePrintBlockOfAnyValue)
{
    ScriptRunFixture<Host> fixture;
    fixture.run("main { local s, i, b, c; s = \"\"; for (i = 0; i < 300; i++) s = s + \"abcd\";\n"
                "b = Buffer new: 5000; b + s; c = Buffer new: 5000; c + s; b + c; b print; }");
    std::string piece;
    while (piece.size() < 1023)
        piece += "abcd";
    piece.resize(1023);
    EXPECT_EQ(fixture.sink.text(), piece + piece);
}

// "System breaker:" posts start, suspend and stop for 1, 2 and 0 to every live listener, answering how many it told;
// any other argument posts nothing.
TEST(LibraryRules, BreakerPostsItsMessageToEveryLiveListener)
{
    using namespace zeb::platform;
    HeadlessDispatcher dispatcher;
    struct Window : MessageTarget
    {
        std::string received;
        LResult onMessage(MessageId message, WParam, LParam) override
        {
            received += MessageRegistry::nameOf(message) + " ";
            return 0;
        }
    } window;
    auto gone = std::make_unique<Window>();
    for (const char* name : {"ON_BREAKER_START", "ON_BREAKER_STOP", "ON_BREAKER_SUSPEND"}) {
        for (const auto listener : {window.handle(), gone->handle()})
            MessageListeners::instance().listen(listener, MessageRegistry::registerMessage(name));
    }
    gone.reset();
    ScriptRunFixture<Host> fixture;
    fixture.run("main { (System breaker: 1) print; (System breaker: 2) print; (System breaker: 0) print;"
                " (System breaker: 3) print; }");
    MessageListeners::instance().forget(window.handle());
    EXPECT_EQ(fixture.sink.text(), "1110");
    dispatcher.runUntil([] { return false; }, std::chrono::milliseconds(20));
    EXPECT_EQ(window.received, "ON_BREAKER_START ON_BREAKER_SUSPEND ON_BREAKER_STOP ");
}

TEST(NumberText, FixedFormHasSixDecimalsWithAPointWhateverTheLocale)
{
    const zeb::testsupport::CommaDecimalLocale locale;
    if (locale.noLocaledef())
        GTEST_SKIP() << "no localedef";
    ASSERT_TRUE(locale.active()) << locale.problem();
    EXPECT_EQ(NumberText::fixed(3.25), "3.250000");
    EXPECT_EQ(NumberText::fixed(-0.0000004), "-0.000000");
    EXPECT_EQ(NumberText::fixed(1e20), "100000000000000000000.000000");
    EXPECT_EQ(NumberText::fixed(-1.7976931348623157e308).size(), 309 + 1 + 1 + 6);
    EXPECT_EQ(NumberText::fixed(std::numeric_limits<double>::quiet_NaN()), "nan");
}

} // namespace

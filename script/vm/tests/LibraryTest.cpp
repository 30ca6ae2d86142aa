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
#include <string>
#include <vector>

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

// "System breaker:" posts stop, start and suspend for 0, 1 and 2 to every window listening, answering how many it
// told; any other argument posts nothing.
TEST(LibraryRules, BreakerPostsItsMessageToEveryListener)
{
    using namespace zeb::platform;
    struct Window : MessageTarget
    {
        std::vector<std::string> received;
        LResult onMessage(MessageId message, WParam, LParam) override
        {
            received.push_back(MessageRegistry::nameOf(message));
            return 0;
        }
    };
    HeadlessDispatcher dispatcher;
    Window first;
    Window second;
    for (const char* name : {"ON_BREAKER_START", "ON_BREAKER_STOP", "ON_BREAKER_SUSPEND"}) {
        MessageListeners::instance().listen(first.handle(), MessageRegistry::registerMessage(name));
        MessageListeners::instance().listen(second.handle(), MessageRegistry::registerMessage(name));
    }
    ScriptRunFixture<Host> fixture;
    fixture.run("main { (System breaker: 1) print; (System breaker: 2) print; (System breaker: 0) print;"
                " (System breaker: 3) print; (System breaker: -1) print; (System breaker: \"1\") print; }");
    EXPECT_EQ(fixture.sink.text(), "222000");
    dispatcher.runUntil([&] { return second.received.size() >= 3; }, std::chrono::seconds(5));
    MessageListeners::instance().forget(first.handle());
    MessageListeners::instance().forget(second.handle());
    const std::vector<std::string> expected = {"ON_BREAKER_START", "ON_BREAKER_SUSPEND", "ON_BREAKER_STOP"};
    EXPECT_EQ(first.received, expected);
    EXPECT_EQ(second.received, expected);
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

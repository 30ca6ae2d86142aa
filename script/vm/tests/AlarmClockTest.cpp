#include "script/vm/AlarmClock.h"

#include "script/front/Compiler.h"
#include "script/vm/Run.h"

#include <gtest/gtest.h>

using namespace zeb::script;
using namespace zeb::script::vm;

namespace {

// A run whose script object prints "A" at each alarm, on a clock the test ticks by hand.
class Alarms : public testing::Test
{
protected:
    void SetUp() override
    {
        machine.alarms().setManual();
        ASSERT_TRUE(compiler.compile("local n;\n"
                                     "alarm { \"A\" print; if (n > 0) { n = n - 1; self alarm: 0.1; } }\n"
                                     "main { n = n; }\n"))
            << compiler.errorText();
        compiler.install(run);
        armer.setRun(&run);
    }
    void arm(double seconds)
    {
        const std::lock_guard hold(machine.scriptLock());
        machine.alarms().arm(armer, run.scriptObject(), seconds);
    }
    // The output after each of `count` ticks, one entry per tick.
    std::vector<std::string> ticks(int count)
    {
        std::vector<std::string> seen;
        for (int tick = 0; tick < count; ++tick) {
            machine.alarms().tick();
            seen.push_back(sink.text());
        }
        return seen;
    }

    Machine machine;
    Compiler compiler;
    StringSink sink;
    vm::Run run{machine, sink};
    Interpreter armer{machine, sink, run.owner(), Interpreter::kThreadSize};
};

TEST_F(Alarms, FireOnceOnTheFirstWholeTickThatReachesTheirTime)
{
    arm(0.25);
    EXPECT_EQ(ticks(5), (std::vector<std::string>{"", "", "A", "A", "A"}));
}

TEST_F(Alarms, ArmingAgainRestartsTheSameAlarm)
{
    arm(0.5);
    ticks(3);
    arm(0.2);
    EXPECT_EQ(ticks(4), (std::vector<std::string>{"", "A", "A", "A"}));
}

TEST_F(Alarms, AHandlerMayArmItselfAgain)
{
    {
        const std::lock_guard hold(machine.scriptLock());
        machine.object(run.scriptObject())->variables()[SymbolTable::intern("n")] = Value::integer(2);
    }
    arm(0.1);
    EXPECT_EQ(ticks(4), (std::vector<std::string>{"A", "AA", "AAA", "AAA"}));
}

TEST_F(Alarms, TheEndOfTheRunCancelsThem)
{
    arm(0.1);
    run.runMain({});
    EXPECT_EQ(ticks(2), (std::vector<std::string>{"", ""}));
}

} // namespace

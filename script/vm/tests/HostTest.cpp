// What a run asks of its host: message boxes, button windows, and that it asks without the
// script lock held.
#include "ScriptRunFixture.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

using namespace zeb::script;
using namespace zeb::script::vm;
using namespace std::chrono_literals;

namespace {

class RecordingHost : public Host
{
public:
    explicit RecordingHost(ScriptLock& lock)
        : m_lock(lock)
    {
    }
    void alert(std::string_view text) override { record("alert " + std::string(text)); }
    void notify(std::string_view text) override { record("notify " + std::string(text)); }
    bool question(std::string_view text) override
    {
        record("question " + std::string(text));
        return true;
    }
    void createButton(std::uint32_t id) override { record("create", id); }
    void showButton(std::uint32_t id) override { record("show", id); }
    void hideButton(std::uint32_t id) override { record("hide", id); }
    // Called with the lock held: recorded without checking it.
    void destroyButton(std::uint32_t id) override { calls.push_back("destroy " + std::to_string(id - m_firstId)); }

    std::vector<std::string> calls;
    std::vector<std::string> lockedCalls;

private:
    void record(const std::string& call, std::uint32_t id)
    {
        if (m_firstId == 0)
            m_firstId = id;
        record(call + " " + std::to_string(id - m_firstId));
    }
    // Another thread must get the lock while the call lasts; if it cannot, the waiting thread
    // stays in m_waiters until the run lets the lock go.
    void record(const std::string& call)
    {
        calls.push_back(call);
        m_waiters.push_back(std::async(std::launch::async, [this] {
            m_lock.lock();
            m_lock.unlock();
        }));
        if (m_waiters.back().wait_for(5s) != std::future_status::ready)
            lockedCalls.push_back(call);
    }

    ScriptLock& m_lock;
    std::uint32_t m_firstId = 0;
    std::vector<std::future<void>> m_waiters;
};

using HostRun = ScriptRunFixture<RecordingHost>;

TEST(Host, MessageBoxesShowTheTextAndQuestionAnswersTheChoice)
{
    HostRun fixture;
    fixture.run("main { \"careful\" alert print; \"fyi\" notify; \"sure?\" question print; }");
    EXPECT_EQ(fixture.sink.text(), "careful1");
    EXPECT_EQ(fixture.host.calls, (std::vector<std::string>{"alert careful", "notify fyi", "question sure?"}));
    EXPECT_TRUE(fixture.host.lockedCalls.empty());
}

TEST(Host, ButtonWindowsFollowTheirObjectAndGoWhenTheRunEnds)
{
    HostRun fixture;
    fixture.run("main { local b; b = Button new; (b open == b) print; b close; b delete; b open;\n"
                "Button new open; }");
    EXPECT_EQ(fixture.sink.text(), "1anUndefinedObject doesNotUnderstand:open\r\n");
    EXPECT_EQ(
        fixture.host.calls,
        (std::vector<std::string>{"create 0", "show 0", "hide 0", "destroy 0", "create 1", "show 1", "destroy 1"}));
    EXPECT_TRUE(fixture.host.lockedCalls.empty());
}

TEST(CompilePrimitive, InstallsNothingWhenAnyMethodFailsToCompile)
{
    ScriptRunFixture<Host> fixture;
    fixture.run("main { (self compile: \"ok { 1 print; }\\nbad { goto nowhere; }\") print; self ok; }");
    EXPECT_EQ(fixture.sink.text(), "0anObject doesNotUnderstand:ok\r\n");
}

TEST(CompilePrimitive, RefusesObjectsThatMayOutliveTheRun)
{
    // The methods' code belongs to the run that compiled them: an object of another run, reached
    // through a global, must not get methods that go when this run goes.
    ScriptRunFixture<Host> fixture;
    Compiler first;
    ASSERT_TRUE(first.compile("main { shared = Array new: 1; }"));
    vm::Run owner(fixture.machine, fixture.sink);
    first.install(owner);
    ASSERT_EQ(owner.runMain({}), Run::Result::Finished);
    fixture.run("main { (shared compile: \"x { }\") print; (shared class compile: \"x { }\") print; }");
    EXPECT_EQ(fixture.sink.text(), "00");
}

} // namespace

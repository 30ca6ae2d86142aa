#include "script/front/Compiler.h"
#include "script/vm/Run.h"
#include "stream/IOSTStream.h"
#include "testsupport/WaitFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

using namespace zeb;
using namespace zeb::script;
using namespace zeb::script::vm;
using namespace std::chrono_literals;

namespace {

// A stream without a transport: what is fed to it is delivered on the feeding thread, as a
// receive thread delivers.
struct FedStream
{
    explicit FedStream(int identifier)
        : link(identifier)
    {
    }
    void feedLine() { link.feed(std::span(reinterpret_cast<const std::uint8_t*>(kLine), sizeof kLine - 1)); }
    bool subscribed() const { return link.subscriberCount() > 0; }

    static constexpr char kLine[] = "$GPTXT,01,01,02,hello*00\r\n";
    stream::IOSTStream link;
};

// Lines keep arriving while the run ends and after: the run's handlers see some, and once the
// run is gone nothing is delivered into it and its callback is off the stream.
TEST(StreamThreads, RunEndDropsSubscriptionsBeforeItsObjectsGo)
{
    FedStream fed(240);
    std::atomic<bool> feeding{true};
    std::thread feeder([&] {
        while (feeding) {
            fed.feedLine();
            std::this_thread::sleep_for(1ms);
        }
    });
    Machine machine;
    Compiler compiler;
    ASSERT_TRUE(compiler.compile(R"(
        local count;
        onStream: s receive: m { count++; kept = m asString; }
        main {
            local link, i;
            link = Stream at: 240;
            link subscribe: self;
            (Stream new: 241) subscribe: self;
            for (i = 0; i < 100 && count < 3; i++) link wait: 0.2;
            (count >= 3) printLine;
        })"));
    StringSink sink;
    {
        vm::Run run(machine, sink);
        compiler.install(run);
        EXPECT_EQ(run.runMain({30s, 0}), Run::Result::Finished);
    }
    EXPECT_FALSE(fed.subscribed());
    std::this_thread::sleep_for(20ms);
    feeding = false;
    feeder.join();
    EXPECT_EQ(sink.text(), "1\r\n");
}

// A handler that never returns holds the receive thread only until Stop.
TEST(StreamThreads, HandlerLoopingForeverEndsOnStop)
{
    FedStream fed(242);
    Machine machine;
    Compiler compiler;
    ASSERT_TRUE(compiler.compile(R"(
        onStream: s receive: m { "looping" printLine; while (1) ; }
        main { local link; link = Stream at: 242; link subscribe: self; while (1) link wait: 30; })"));
    StringSink sink;
    vm::Run run(machine, sink);
    compiler.install(run);
    std::atomic<bool> fedOnce{false};
    std::thread feeder([&] {
        if (!testsupport::eventually([&] { return fed.subscribed(); }))
            return;
        fed.feedLine(); // returns once Stop has ended the handler
        fedOnce = true;
    });
    std::thread stopper([&] {
        std::this_thread::sleep_for(200ms);
        run.stop();
    });
    EXPECT_EQ(run.runMain({30s, 0}), Run::Result::Stopped);
    stopper.join();
    feeder.join();
    EXPECT_TRUE(fedOnce);
    EXPECT_EQ(sink.text().rfind("looping\r\n", 0), 0u);
}

} // namespace

#include "app/connection/AutoConnectSequence.h"

#include "platform/HeadlessDispatcher.h"
#include "platform/MemorySettings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "stream/serial/SerialTransport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zeb::connection {
namespace {

using namespace std::chrono_literals;

// The receiver end of a serial line: the master of a pseudo-terminal whose slave the workbench opens
// as COM1. A thread reads what the workbench writes and answers each ping, but only while the line
// runs at the receiver's own speed (on Linux, the master reports the slave's line settings).
class PtyReceiver
{
public:
    explicit PtyReceiver(speed_t answeringSpeed)
        : m_answeringSpeed(answeringSpeed)
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        const char* name = ::ptsname(m_master);
        if (!name)
            return;
        m_slavePath = name;
        m_thread = std::thread([this] { serve(); });
    }
    ~PtyReceiver()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_master >= 0)
            ::close(m_master);
    }

    int master() const { return m_master; }
    const std::string& slavePath() const { return m_slavePath; }
    int pings() const { return m_pings.load(); }
    int answers() const { return m_answers.load(); }

private:
    void serve()
    {
        std::string line;
        char buffer[256];
        while (!m_stop) {
            pollfd fd{m_master, POLLIN, 0};
            if (::poll(&fd, 1, 5) <= 0)
                continue;
            const ssize_t count = ::read(m_master, buffer, sizeof buffer);
            if (count <= 0) {
                // No slave is open (EIO) between two rates: wait for the next open.
                std::this_thread::sleep_for(2ms);
                continue;
            }
            line.append(buffer, static_cast<std::size_t>(count));
            for (std::size_t at; (at = line.find(AutoConnectSequence::kPing)) != std::string::npos;) {
                line.erase(0, at + AutoConnectSequence::kPing.size());
                answerPing();
            }
            // Bytes of a ping cut short by a close never complete: keep only a possible beginning.
            if (line.size() > 64)
                line.erase(0, line.size() - 16);
        }
    }

    void answerPing()
    {
        ++m_pings;
        termios attributes{};
        if (::tcgetattr(m_master, &attributes) != 0 || ::cfgetospeed(&attributes) != m_answeringSpeed)
            return;
        const std::string answer = "$PKVR,RPC,PING,/dev/peer/1\r\n";
        // Counted before it is written: the sequence may read it and finish, and the test look
        // at the count, before this thread runs again.
        ++m_answers;
        if (::write(m_master, answer.data(), answer.size()) != static_cast<ssize_t>(answer.size()))
            --m_answers;
    }

    speed_t m_answeringSpeed;
    int m_master = -1;
    std::string m_slavePath;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_pings{0};
    std::atomic<int> m_answers{0};
    std::thread m_thread;
};

// What the sequence reported, on the dispatcher's thread.
struct Report
{
    std::vector<std::string> tried;
    int finishedCount = 0;
    int result = -1;

    AutoConnectSequence::Callbacks callbacks()
    {
        return {
            [](int, int) {},
            [this](const std::string& address) { tried.push_back(address); },
            [this](int value) {
                ++finishedCount;
                result = value;
            },
        };
    }
    std::vector<std::string> triedRates() const
    {
        std::vector<std::string> rates;
        for (const std::string& address : tried) {
            const std::size_t first = address.find(',');
            rates.push_back(address.substr(first + 1, address.find(',', first + 1) - first - 1));
        }
        return rates;
    }
};

// The standard table at a tenth of its times: the same rates, order and progress units.
AutoConnectSequence::Timing quickTiming()
{
    AutoConnectSequence::Timing timing;
    for (AutoConnectRate& rate : timing.rates) {
        rate.waitMs /= 10;
        rate.pingMs /= 10;
    }
    timing.settle = 20ms;
    return timing;
}

class AutoConnectSequenceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_settings = std::make_shared<platform::MemorySettings>();
        platform::Settings::install(m_settings);
        stream::serial::registerSerialTransport();
    }
    void TearDown() override
    {
        m_stream.close();
        platform::Settings::install(std::make_shared<platform::MemorySettings>());
    }

    platform::HeadlessDispatcher m_dispatcher;
    std::shared_ptr<platform::MemorySettings> m_settings;
    stream::IOSTStream m_stream{stream::IOSTStream::kAnonymous};
};

TEST_F(AutoConnectSequenceTest, FindsTheRateAtWhichTheReceiverAnswers)
{
    PtyReceiver receiver(B9600);
    ASSERT_FALSE(receiver.slavePath().empty());
    m_settings->writeText("SerialPorts", "COM1", receiver.slavePath());

    // The answering rate keeps its line open long enough for a loaded machine: the search
    // ends at the answer, so only a missed answer would make the test wait.
    AutoConnectSequence::Timing timing = quickTiming();
    for (AutoConnectRate& rate : timing.rates) {
        if (rate.baudRate == 9600)
            rate.waitMs = 20'000;
    }
    stream::StreamAddress address;
    stream::parseStreamAddress("/dev/serial/com1,0,8,1.0,N", address);
    Report report;
    AutoConnectSequence sequence(address, m_stream, report.callbacks(), timing);
    sequence.start();
    ASSERT_TRUE(m_dispatcher.runUntil([&] { return report.finishedCount > 0; }, 40s));

    EXPECT_EQ(report.result, AutoConnectSequence::Answered);
    EXPECT_EQ(report.finishedCount, 1);
    EXPECT_TRUE(sequence.succeeded());
    EXPECT_EQ(report.triedRates(), (std::vector<std::string>{"57600", "300", "1200", "2400", "4800", "9600"}));
    const std::string text = stream::formatStreamAddress(address);
    EXPECT_TRUE(text.ends_with(",9600,8,1.0,N")) << text;
    EXPECT_GE(receiver.pings(), 6);
    EXPECT_GE(receiver.answers(), 1);

    // The line stays open at the answering rate and the sequence no longer listens to it.
    EXPECT_TRUE(m_stream.isOpen());
    EXPECT_EQ(m_stream.address(), text);
    EXPECT_EQ(m_stream.windowState(sequence.handle()), stream::SubscriberState::Disabled);
    const int progress = sequence.progress();
    m_dispatcher.runUntil([] { return false; }, 100ms);
    EXPECT_EQ(sequence.progress(), progress);
    EXPECT_EQ(report.finishedCount, 1);
}

} // namespace
} // namespace zeb::connection

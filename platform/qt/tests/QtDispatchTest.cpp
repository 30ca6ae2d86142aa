#include "platform/qt/QtDispatcher.h"
#include "platform/tests/DispatchBehaviour.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

namespace zeb::platform::testing {
namespace {

// Runs Qt's own event loop, as the application does, until the condition holds.
struct QtHarness
{
    static std::unique_ptr<Dispatcher> makeLocal() { return std::make_unique<QtDispatcher>(); }
    static bool pump(Dispatcher&, const std::function<bool()>& condition, std::chrono::milliseconds timeout)
    {
        if (condition())
            return true;
        QEventLoop loop;
        QElapsedTimer clock;
        clock.start();
        QTimer check;
        check.setInterval(1);
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (condition() || clock.elapsed() >= timeout.count())
                loop.quit();
        });
        check.start();
        loop.exec();
        return condition();
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(QtEventLoop, DispatchBehaviour, QtHarness);

TEST(QtDispatcher, SendsAreServedWhileAModalLoopRuns)
{
    // A dialog's nested event loop must keep answering stream threads.
    QtDispatcher dispatcher;
    const std::thread::id self = std::this_thread::get_id();
    std::thread::id handlerThread;
    FunctionTarget target([&](MessageId, WParam wParam, LParam) {
        handlerThread = std::this_thread::get_id();
        return static_cast<LResult>(wParam * 2);
    });
    std::atomic<LResult> answer{0};
    QEventLoop modal;
    std::thread sender([&] {
        answer = send(target.handle(), MessageRegistry::registerMessage("TEST_MODAL"), 21);
        QMetaObject::invokeMethod(
            &modal, [&] { modal.quit(); }, Qt::QueuedConnection);
    });
    QTimer::singleShot(5000, &modal, [&] { modal.quit(); });
    modal.exec();
    sender.join();
    EXPECT_EQ(answer.load(), 42);
    EXPECT_EQ(handlerThread, self);
}

} // namespace
} // namespace zeb::platform::testing

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

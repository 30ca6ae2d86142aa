#include "app/connection/qt/CUTTEAutoConnectDialog.h"
#include "platform/MemorySettings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/serial/SerialTransport.h"
#include "testsupport/QtWaitFor.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace zeb::connection {
namespace {

class AutoConnectDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto settings = std::make_shared<platform::MemorySettings>();
        settings->writeText("SerialPorts", "COM1", "/nonexistent/zeb500-tty");
        platform::Settings::install(settings);
        stream::serial::registerSerialTransport();
        stream::parseStreamAddress("/dev/serial/com1,0,8,1.0,N", address);
    }
    void TearDown() override { platform::Settings::install(std::make_shared<platform::MemorySettings>()); }

    stream::StreamAddress address;
    stream::IOSTStream connection{stream::IOSTStream::kAnonymous};
};

TEST_F(AutoConnectDialogTest, ProgressRunsOverTheWholeTableAndAPortThatNeverOpensEndsWithTwo)
{
    CUTTEAutoConnectDialog dialog(address, connection);
    auto* bar = dialog.findChild<QProgressBar*>("1090");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 105);

    // Opened without a modal loop of its own: the search runs on this thread's events.
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.open();
    ASSERT_TRUE(testsupport::qtWaitFor([&] { return finished.count() == 1; }, "the end of the search"));
    EXPECT_EQ(finished.at(0).at(0).toInt(), 2);
    EXPECT_EQ(bar->value(), 105);
    EXPECT_EQ(dialog.addressLabel()->text(), QStringLiteral("/dev/serial/com1,115200,8,1.0,N"));
    EXPECT_EQ(dialog.sequence().row(), 9) << "every rate of the table was tried";
    EXPECT_FALSE(connection.isOpen());
}

TEST_F(AutoConnectDialogTest, CancelEndsWithTheCancelResultAndStopsTheSearch)
{
    AutoConnectTiming slow;
    slow.rates = {{57600, 60'000, 300}};
    // Open fails at once, so the search would end after 10 ms; the cancel comes first.
    CUTTEAutoConnectDialog dialog(address, connection, nullptr, slow);
    dialog.open();
    EXPECT_TRUE(dialog.sequence().running());
    dialog.reject();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.sequence().running());
    EXPECT_EQ(dialog.sequence().result(), AutoConnectSequence::Cancelled);
}

} // namespace
} // namespace zeb::connection

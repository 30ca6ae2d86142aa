#include "app/connection/ConnectionKeeper.h"
#include "app/connection/qt/CIHSTClientPage.h"
#include "app/connection/qt/CIHSTDPRAMPage.h"
#include "app/connection/qt/CIHSTPropertySheet.h"
#include "app/connection/qt/CIHSTSerialPage.h"
#include "app/connection/qt/ConnectDialogs.h"
#include "app/language/ResourceLibrary.h"
#include "app/language/qt/Resources.h"
#include "platform/MemorySettings.h"
#include "testsupport/DialogAnswers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace zeb::connection {
namespace {

using stream::StreamAddress;
namespace type = stream::stream_type;

StreamAddress parsed(std::string_view text)
{
    StreamAddress address;
    stream::parseStreamAddress(text, address);
    return address;
}

class PropertySheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_settings = std::make_shared<platform::MemorySettings>();
        platform::Settings::install(m_settings);
    }
    void TearDown() override { platform::Settings::install(std::make_shared<platform::MemorySettings>()); }

    CIHSTSerialPage& serialPage() { return *static_cast<CIHSTSerialPage*>(sheet.pageOfType(type::Serial)); }

    std::shared_ptr<platform::MemorySettings> m_settings;
    CIHSTPropertySheet sheet;
};

TEST_F(PropertySheetTest, ConfirmedTypeIsThatOfThePageMostRecentlyShownForTheFirstTime)
{
    sheet.setAddress(parsed("/dev/serial/com2,4800,7,2.0,E"));
    sheet.prepare("SDCFr");
    EXPECT_EQ(sheet.address().type, type::Serial);
    sheet.showPage(3);
    EXPECT_EQ(sheet.address().type, type::File);
    sheet.showPage(2);
    EXPECT_EQ(sheet.address().type, type::Client);
    sheet.showPage(0);
    sheet.showPage(3);
    EXPECT_EQ(sheet.address().type, type::Client);
    EXPECT_FALSE(sheet.page(1)->isCreated());
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(sheet.address().type, type::Client);
    EXPECT_EQ(stream::formatStreamAddress(sheet.address()), "/dev/client/localhost/1000");
    // The serial page was shown too: its fields went back unchanged.
    StreamAddress serial = sheet.address();
    serial.type = type::Serial;
    EXPECT_EQ(stream::formatStreamAddress(serial), "/dev/serial/com2,4800,7,2.0,E");

    // A new run starts from fresh pages.
    sheet.prepare("SDCFr");
    EXPECT_EQ(sheet.tabs()->currentIndex(), 2);
    EXPECT_FALSE(sheet.page(0)->isCreated());
}

TEST_F(PropertySheetTest, ClientPortMustBeA32BitNumber)
{
    sheet.setAddress(parsed("/dev/client/receiver/5000"));
    sheet.prepare("SDCFr");
    auto* host = sheet.findChild<QLineEdit*>("1016");
    auto* port = sheet.findChild<QLineEdit*>("1017");
    sheet.showPage(0);
    host->setText(QStringLiteral("192.168.0.7"));
    port->setText(QStringLiteral("4294967296"));
    sheet.accept();
    EXPECT_NE(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(sheet.tabs()->currentIndex(), 2);
    EXPECT_EQ(sheet.address().client.port, 5000u);

    port->setText(QStringLiteral("4294967295"));
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(sheet.address().client.host, "192.168.0.7");
    EXPECT_EQ(sheet.address().client.port, 4294967295u);
}

// The real dialogs behind the Connect command's hooks, answered as a user would.
TEST_F(PropertySheetTest, DialogHooksRunTheSheetAndTheMessageBox)
{
    ConnectCommand::Hooks hooks = connectDialogHooks(nullptr, nullptr);
    const StreamAddress start = parsed("/dev/client/receiver/5000");
    testsupport::DialogAnswers answers;
    ConnectionKeeper::setReconnectWanted(true);
    answers.next<CIHSTPropertySheet>([](CIHSTPropertySheet& shown) {
        EXPECT_EQ(shown.pageCount(), 4);
        EXPECT_TRUE(shown.reconnect());
        shown.findChild<QCheckBox*>(QStringLiteral("reconnect"))->setChecked(false);
        shown.accept();
        return shown.result();
    });
    std::optional<StreamAddress> chosen = hooks.runSheet(start, "SDCFr");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, start);
    EXPECT_FALSE(ConnectionKeeper::reconnectWanted());

    answers.next(QDialog::Rejected);
    EXPECT_FALSE(hooks.runSheet(start, "SDCFr"));

    QString shown;
    answers.next<QMessageBox>([&](QMessageBox& box) {
        shown = box.text();
        return QMessageBox::Ok;
    });
    hooks.showMessage(ConnectCommand::failureText("/dev/dpram/1"));
    EXPECT_EQ(shown, QStringLiteral("Connection to\n/dev/dpram/1\nfailed !"));
}

} // namespace
} // namespace zeb::connection

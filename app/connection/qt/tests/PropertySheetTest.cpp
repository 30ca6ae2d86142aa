#include "app/connection/qt/CIHSTClientPage.h"
#include "app/connection/qt/CIHSTDPRAMPage.h"
#include "app/connection/qt/CIHSTFilePage.h"
#include "app/connection/qt/CIHSTPropertySheet.h"
#include "app/connection/qt/CIHSTSerialPage.h"
#include "app/connection/qt/ConnectDialogs.h"
#include "app/language/ResourceLibrary.h"
#include "app/language/qt/Resources.h"
#include "platform/MemorySettings.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

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

TEST_F(PropertySheetTest, LettersChooseThePagesInFixedOrderAndTheRecordTypeTheStartPage)
{
    sheet.setAddress(parsed("/dev/client/receiver/5000"));
    sheet.prepare("FCDSr");
    ASSERT_EQ(sheet.pageCount(), 4);
    EXPECT_EQ(sheet.pagesInUse(), 2u | 4u | 8u | 16u);
    EXPECT_EQ(sheet.page(0)->type(), type::Serial);
    EXPECT_EQ(sheet.page(1)->type(), type::Dpram);
    EXPECT_EQ(sheet.page(2)->type(), type::Client);
    EXPECT_EQ(sheet.page(3)->type(), type::File);
    EXPECT_EQ(sheet.tabs()->currentIndex(), 2);
    EXPECT_EQ(sheet.tabs()->tabText(2), QStringLiteral("TCP client"));
    EXPECT_EQ(sheet.findChild<QLineEdit*>("1016")->text(), QStringLiteral("receiver"));
    EXPECT_EQ(sheet.findChild<QLineEdit*>("1017")->text(), QStringLiteral("5000"));

    // A type whose page is not in use starts on the first page, which then sets its own type.
    sheet.setAddress(parsed("/dev/dpram/2"));
    sheet.prepare("SCF");
    EXPECT_EQ(sheet.pageCount(), 3);
    EXPECT_EQ(sheet.pagesInUse(), 2u | 8u | 16u);
    EXPECT_EQ(sheet.tabs()->currentIndex(), 0);
    EXPECT_EQ(sheet.address().type, type::Serial);

    sheet.prepare("x");
    EXPECT_EQ(sheet.pageCount(), 0);
    EXPECT_EQ(sheet.pagesInUse(), 0u);
}

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

TEST_F(PropertySheetTest, SerialPageListsAndEdgeValues)
{
    m_settings->writeInt("Settings", "serialPortCount", 16);
    m_settings->writeText("SerialPorts", "COM3", "/dev/ttyUSB0");
    StreamAddress address = parsed("/dev/serial/com3,0,8,1.0,N");
    address.serial.stopBits = 1.25;
    sheet.setAddress(address);
    sheet.prepare("SDCFr");

    auto* port = sheet.findChild<QComboBox*>("1000");
    ASSERT_NE(port, nullptr);
    ASSERT_EQ(port->count(), 16);
    EXPECT_EQ(port->itemText(0), QStringLiteral("1  (/dev/ttyS0)"));
    EXPECT_EQ(port->itemText(15), QStringLiteral("16  (/dev/ttyS15)"));
    EXPECT_EQ(port->currentText(), QStringLiteral("3  (/dev/ttyUSB0)"));
    EXPECT_EQ(sheet.findChild<QComboBox*>("1001")->currentText(), QStringLiteral("Auto"));
    EXPECT_EQ(sheet.findChild<QComboBox*>("1004")->currentText(), QStringLiteral("None"));
    EXPECT_EQ(sheet.findChild<QComboBox*>("1002")->currentText(), QStringLiteral("8"));
    EXPECT_EQ(sheet.findChild<QComboBox*>("1003")->currentText(), QStringLiteral("1"));

    sheet.findChild<QComboBox*>("1001")->setCurrentIndex(8);
    sheet.findChild<QComboBox*>("1004")->setCurrentIndex(3);
    sheet.findChild<QComboBox*>("1002")->setCurrentIndex(0);
    sheet.findChild<QComboBox*>("1003")->setCurrentIndex(1);
    port->setCurrentIndex(11);
    sheet.accept();
    EXPECT_EQ(stream::formatStreamAddress(sheet.address()), "/dev/serial/com12,57600,4,1.5,S");
    EXPECT_EQ(sheet.address().serial.deviceName, "COM12");
}

TEST_F(PropertySheetTest, PortBeyondTheListShowsNoSelectionAndConfirmsAsPortZero)
{
    sheet.setAddress(parsed("/dev/serial/com12,9600,8,1.0,N"));
    sheet.prepare("SDCFr");
    auto* port = sheet.findChild<QComboBox*>("1000");
    ASSERT_EQ(port->count(), 8);
    EXPECT_EQ(port->currentIndex(), -1);
    sheet.accept();
    EXPECT_EQ(sheet.address().serial.portNumber, 0u);
    EXPECT_EQ(sheet.address().serial.deviceName, "COM0");
    EXPECT_EQ(sheet.address().serial.baudRate, 9600u);
}

TEST_F(PropertySheetTest, DualPortUnitZeroShowsOne)
{
    StreamAddress address = parsed("/dev/dpram/0");
    sheet.setAddress(address);
    sheet.prepare("SDCFr");
    auto* unit = sheet.findChild<QComboBox*>("1005");
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(sheet.tabs()->currentIndex(), 1);
    EXPECT_EQ(unit->currentText(), QStringLiteral("1"));
    unit->setCurrentIndex(3);
    sheet.accept();
    EXPECT_EQ(stream::formatStreamAddress(sheet.address()), "/dev/dpram/4");
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

    EXPECT_EQ(CIHSTClientPage::parsePort(QStringLiteral(" 80 ")), 80u);
    EXPECT_FALSE(CIHSTClientPage::parsePort(QString()));
    EXPECT_FALSE(CIHSTClientPage::parsePort(QStringLiteral("8 0")));
}

TEST_F(PropertySheetTest, FilePageBrowsesInTheModeOfTheLettersAndKeepsThePathFieldSize)
{
    StreamAddress address;
    address.type = type::File;
    address.filePath = "/data/old.bin";
    sheet.setAddress(address);
    sheet.prepare("SDCFr");
    auto* page = static_cast<CIHSTFilePage*>(sheet.pageOfType(type::File));
    EXPECT_EQ(page->mode(), framework::FileChooser::Mode::Read);

    struct Seen
    {
        QString title;
        std::string path;
        framework::FileChooser::Mode mode = framework::FileChooser::Mode::Write;
        QString filterLabel;
        QString filterPattern;
    } seen;
    bool answer = false;
    page->setChooser([&](QWidget*, const QString& title, std::string& path, framework::FileChooser::Mode mode,
                         const std::vector<framework::FileChooser::Filter>& filters) {
        seen = {title, path, mode, filters.at(0).label, filters.at(0).pattern};
        path = "/data/new.bin";
        return answer;
    });
    auto* edit = sheet.findChild<QLineEdit*>("1019");
    edit->setText(QStringLiteral("/data/typed.bin"));
    sheet.findChild<QPushButton*>("1020")->click();
    EXPECT_EQ(seen.path, "/data/typed.bin");
    EXPECT_EQ(seen.mode, framework::FileChooser::Mode::Read);
    EXPECT_EQ(seen.filterPattern, QStringLiteral("*.*"));
    EXPECT_FALSE(seen.title.isEmpty());
    EXPECT_FALSE(seen.filterLabel.isEmpty());
    EXPECT_EQ(edit->text(), QStringLiteral("/data/typed.bin"));

    answer = true;
    page->browse();
    EXPECT_EQ(edit->text(), QStringLiteral("/data/new.bin"));
    EXPECT_EQ(sheet.address().filePath, "/data/new.bin");

    edit->setText(QString(2000, QLatin1Char('a')));
    sheet.accept();
    EXPECT_EQ(sheet.address().filePath.size(), stream::kMaxFilePath);

    sheet.prepare("SDCFw");
    EXPECT_EQ(static_cast<CIHSTFilePage*>(sheet.pageOfType(type::File))->mode(), framework::FileChooser::Mode::Write);
}

TEST_F(PropertySheetTest, TextsComeFromTheLanguageLibrary)
{
    auto library = language::ResourceLibrary::load("FRA");
    if (!library)
        GTEST_SKIP() << "no French language library among the assets";
    language::Resources::setLibrary(library.get());
    CIHSTPropertySheet french;
    french.setAddress(parsed("/dev/serial/com1,0,8,1.0,E"));
    french.prepare("SDCFr");
    language::Resources::setLibrary(nullptr);

    EXPECT_EQ(french.windowTitle().toStdString(), library->string(32700));
    EXPECT_EQ(french.tabs()->tabText(0).toStdString(), library->text("IDD_STREAM_SERIAL"));
    EXPECT_EQ(french.findChild<QComboBox*>("1001")->currentText().toStdString(), library->text("IHST_CHOICE/Auto"));
    EXPECT_EQ(french.findChild<QComboBox*>("1004")->currentText().toStdString(), library->text("IHST_CHOICE/Even"));
}

// The real dialogs behind the Connect command's hooks, driven by timers as a user would.
TEST_F(PropertySheetTest, DialogHooksRunTheSheetAndTheMessageBox)
{
    ConnectCommand::Hooks hooks = connectDialogHooks(nullptr, nullptr);
    const StreamAddress start = parsed("/dev/client/receiver/5000");

    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    std::optional<StreamAddress> chosen = hooks.runSheet(start, "SDCFr");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, start);

    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    EXPECT_FALSE(hooks.runSheet(start, "SDCFr"));

    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    hooks.showMessage(ConnectCommand::failureText("/dev/dpram/1"));
    EXPECT_EQ(shown, QStringLiteral("Connection to\n/dev/dpram/1\nfailed !"));
}

} // namespace
} // namespace zeb::connection

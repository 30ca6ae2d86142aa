#include "app/connection/qt/CIHSTClientPage.h"
#include "app/connection/qt/CIHSTDPRAMPage.h"
#include "app/connection/qt/CIHSTFilePage.h"
#include "app/connection/qt/CIHSTPropertySheet.h"
#include "app/connection/qt/CIHSTSerialPage.h"
#include "app/connection/qt/ConnectDialogs.h"
#include "app/language/ResourceLibrary.h"
#include "app/language/qt/Resources.h"
#include "platform/MemorySettings.h"
#include "testsupport/DialogAnswers.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
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

TEST_F(PropertySheetTest, FilePageBrowsesInTheModeOfTheLettersAndKeepsThePathFieldSize)
{
    StreamAddress address;
    address.type = type::File;
    address.filePath = "/data/old.bin";
    sheet.setAddress(address);
    sheet.prepare("SDCFr");
    auto* page = static_cast<CIHSTFilePage*>(sheet.pageOfType(type::File));

    std::string seenPath;
    framework::FileChooser::Mode seenMode = framework::FileChooser::Mode::Write;
    bool answer = false;
    page->setChooser([&](QWidget*, const QString&, std::string& path, framework::FileChooser::Mode mode,
                         const std::vector<framework::FileChooser::Filter>&) {
        seenPath = path;
        seenMode = mode;
        path = "/data/new.bin";
        return answer;
    });
    auto* edit = sheet.findChild<QLineEdit*>("1019");
    edit->setText(QStringLiteral("/data/typed.bin"));
    sheet.findChild<QPushButton*>("1020")->click();
    EXPECT_EQ(seenPath, "/data/typed.bin");
    EXPECT_EQ(seenMode, framework::FileChooser::Mode::Read);
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

// The real dialogs behind the Connect command's hooks, answered as a user would.
TEST_F(PropertySheetTest, DialogHooksRunTheSheetAndTheMessageBox)
{
    ConnectCommand::Hooks hooks = connectDialogHooks(nullptr, nullptr);
    const StreamAddress start = parsed("/dev/client/receiver/5000");
    testsupport::DialogAnswers answers;
    answers.next<CIHSTPropertySheet>([](CIHSTPropertySheet& shown) {
        EXPECT_EQ(shown.pageCount(), 4);
        shown.accept();
        return shown.result();
    });
    std::optional<StreamAddress> chosen = hooks.runSheet(start, "SDCFr");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, start);

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

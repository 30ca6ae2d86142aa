#include "app/connection/qt/CIHSTPropertySheet.h"
#include "app/framework/UserMessages.h"
#include "recorder/schedule/ScheduleTexts.h"
#include "recorder/widgets/CIHDMPropertyFile.h"
#include "recorder/widgets/CIHDMPropertyFilter.h"
#include "recorder/widgets/CIHDMPropertyPort.h"
#include "recorder/widgets/CIHDMPropertySchedule.h"
#include "recorder/widgets/CIHDMPropertySheet.h"
#include "recorder/widgets/CIHDMPropertyTrack.h"
#include "testsupport/DialogAnswers.h"
#include "testsupport/TempFolder.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb::recorder {
namespace {

// 2003-03-05 14:07:09 local time, for the schedule page and file names.
constexpr std::int64_t kNow = 1046873229;
const RecordNaming::LocalTime kMarch2003{2003, 3, 5, 14, 7, 9};

template <typename T>
T* control(QWidget& page, int id)
{
    return page.findChild<T*>(QString::number(id));
}

class RecorderPagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::UserMessages::setSink([this](const QString& text) { messages.push_back(text.toStdString()); });
        settings = RecorderSettings::defaults(folder.path().string());
        settings.directory = folder.path().string();
    }
    void TearDown() override { framework::UserMessages::setSink({}); }

    testsupport::TempFolder folder;
    RecorderSettings settings;
    std::vector<std::string> messages;
};

TEST_F(RecorderPagesTest, SchedulePageTakesOnlyAPhraseTheParserAccepts)
{
    CIHDMPropertySchedule page(settings, [] { return kNow; });
    page.shown();
    const RecorderSettings before = settings;
    for (const char* duration : {"5 minutes later", "0 seconds"}) {
        control<QLineEdit>(page, 1002)->setText(QString::fromLatin1(duration));
        EXPECT_FALSE(page.exchange()) << duration;
    }
    EXPECT_EQ(messages, std::vector<std::string>(2, std::string(ScheduleTexts::english().syntaxMessage)));
    EXPECT_EQ(settings, before);

    control<QLineEdit>(page, 1001)->setText(QStringLiteral(" every minute at 30 "));
    control<QLineEdit>(page, 1002)->setText(QStringLiteral("10 seconds"));
    EXPECT_TRUE(page.exchange());
    EXPECT_EQ(settings.startText, "every minute at 30");
    EXPECT_EQ(settings.durationText, "10 seconds");
}

TEST_F(RecorderPagesTest, FilePageShowsTheNextFreeNameAndRefusesNamesLeavingTheDirectory)
{
    folder.write("data-1.dat", "taken");
    CIHDMPropertyFile page(settings, [] { return kMarch2003; });
    page.shown();
    const std::string dir = folder.path().string();
    auto* preview = control<QLabel>(page, 1020);
    EXPECT_EQ(preview->text().toStdString(), dir + "/data-2.dat");
    auto* convention = control<QComboBox>(page, 1004);
    convention->setCurrentIndex(convention->findData(3));
    EXPECT_EQ(preview->text().toStdString(), dir + "/data-05032003-140709-1.dat");
    control<QLineEdit>(page, 1002)->setText(QStringLiteral("/dev/client/host/7000"));
    EXPECT_EQ(preview->text(), QStringLiteral("Stream /dev/client/host/7000"));

    const RecorderSettings before = settings;
    for (const char* base : {"", "../run"}) {
        control<QLineEdit>(page, 1002)->setText(QString::fromLatin1(base));
        EXPECT_FALSE(page.exchange()) << base;
    }
    control<QLineEdit>(page, 1002)->setText(QStringLiteral("run"));
    control<QLineEdit>(page, 1003)->setText(QStringLiteral("42"));
    EXPECT_FALSE(page.exchange());
    control<QLineEdit>(page, 1001)->clear();
    EXPECT_FALSE(page.exchange());
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], "Enter a basename please");
    EXPECT_EQ(messages[3], "Enter a directory please");
    EXPECT_EQ(settings, before);
}

// The document's port is the workspace's: the page can neither rename nor remove it.
TEST_F(RecorderPagesTest, PortPageAddsPortsOnTheirOwnStreamsAndEditsAddressesInTheConnectionSheet)
{
    settings.bindDocumentPort(65);
    CIHDMPropertyPort page(settings);
    page.shown();
    page.addPort();
    page.addPort();
    ASSERT_EQ(settings.ports.size(), 3u);
    EXPECT_EQ(settings.ports[1], (RecorderPort{"B", CIHDMPropertyPort::newPortAddress(), 1000, true}));
    EXPECT_EQ(settings.ports[2].name, "C");
    EXPECT_EQ(settings.ports[2].identifier, 1001u);
    EXPECT_TRUE(CIHDMPropertyPort::newPortAddress().starts_with("/dev/client/"));

    QTableWidget* table = page.table();
    table->item(1, 0)->setText(QStringLiteral("C"));
    table->item(2, 0)->setText(QStringLiteral("rx,2"));
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(table->item(1, 0)->text(), QStringLiteral("B"));
    table->item(1, 0)->setText(QStringLiteral("rover"));
    EXPECT_EQ(settings.ports[1].name, "rover");
    EXPECT_FALSE(table->item(0, 0)->flags() & Qt::ItemIsEditable);
    table->setCurrentCell(0, 0);
    page.removeSelected();
    EXPECT_EQ(settings.ports.size(), 3u);

    testsupport::DialogAnswers answers;
    answers.next<connection::CIHSTPropertySheet>([](connection::CIHSTPropertySheet& sheet) {
        sheet.findChild<QLineEdit*>(QStringLiteral("1016"))->setText(QStringLiteral("base.local"));
        sheet.accept();
        return sheet.result();
    });
    table->setCurrentCell(1, 0);
    page.editSelected();
    EXPECT_EQ(settings.ports[1].address, "/dev/client/base.local/1000");
    EXPECT_EQ(table->item(1, 1)->text(), QStringLiteral("/dev/client/base.local/1000"));
}

TEST_F(RecorderPagesTest, ListPagesRefuseWhatTheSettingsCouldNotKeep)
{
    CIHDMPropertyTrack tracks(settings);
    tracks.shown();
    for (const char* name : {"", "B", "x,y"})
        tracks.list()->item(0)->setText(QString::fromLatin1(name));
    EXPECT_EQ(messages.size(), 3u);
    EXPECT_EQ(settings.tracks.front(), "A");
    EXPECT_EQ(tracks.list()->item(0)->text(), QStringLiteral("A"));
    while (settings.tracks.size() < RecorderSettings::kMaxTracks)
        tracks.addTrack();
    EXPECT_EQ(settings.tracks.back(), "A38");
    tracks.addTrack();
    EXPECT_EQ(settings.tracks.size(), RecorderSettings::kMaxTracks);

    CIHDMPropertyFilter filters(settings);
    filters.shown();
    filters.addFilter();
    EXPECT_TRUE(settings.filters.empty());
    EXPECT_EQ(messages.size(), 5u);
}

TEST_F(RecorderPagesTest, SheetEditsACopyTakenBackOnlyWhenEveryPageAccepts)
{
    settings.bindDocumentPort(65);
    CIHDMPropertySheet sheet(nullptr, {[] { return kNow; }, [] { return kMarch2003; }});
    testsupport::DialogAnswers answers;
    answers.next<CIHDMPropertySheet>([](CIHDMPropertySheet& shown) {
        shown.pageOf<CIHDMPropertyPort>()->addPort();
        shown.showPage(1);
        auto* tracks = shown.pageOf<CIHDMPropertyTrack>();
        tracks->list()->item(1)->setText(QStringLiteral("rover"));
        tracks->list()->setCurrentRow(25);
        tracks->removeSelected();
        shown.showPage(2);
        auto* filters = shown.pageOf<CIHDMPropertyFilter>();
        filters->addFilter();
        filters->cell(1, CIHDMPropertyFilter::Port)->setCurrentIndex(1);
        filters->cell(1, CIHDMPropertyFilter::Selection)->setCurrentIndex(2);
        filters->cell(1, CIHDMPropertyFilter::Track)->setCurrentIndex(1);
        EXPECT_EQ(filters->cell(1, CIHDMPropertyFilter::Track)->currentText(), QStringLiteral("rover"));
        shown.showPage(3);
        control<QSpinBox>(*shown.page(3), 1005)->setValue(2);
        control<QComboBox>(*shown.page(3), 1006)->setCurrentIndex(1);
        shown.showPage(4);
        control<QLineEdit>(*shown.page(4), 1001)->setText(QStringLiteral("every hour at 00:00"));
        control<QLineEdit>(*shown.page(4), 1002)->setText(QStringLiteral("nonsense"));
        shown.accept();
        EXPECT_NE(shown.result(), QDialog::Accepted);
        control<QLineEdit>(*shown.page(4), 1002)->setText(QStringLiteral("15 minutes"));
        shown.showPage(0);
        shown.accept();
        return shown.result();
    });
    ASSERT_EQ(sheet.run(settings), QDialog::Accepted);
    EXPECT_EQ(messages.size(), 1u);
    RecorderSettings expected = settings;
    expected.ports.push_back({"B", CIHDMPropertyPort::newPortAddress(), 1000, true});
    expected.tracks[1] = "rover";
    expected.tracks.pop_back();
    expected.filters.push_back({true, 1, 2, 1, 1});
    expected.granularity = 2;
    expected.granularityUnit = 1;
    expected.startText = "every hour at 00:00";
    expected.durationText = "15 minutes";
    EXPECT_EQ(sheet.settings(), expected);

    // A new run starts from the settings given, not from what an earlier run left.
    answers.next<CIHDMPropertySheet>([&expected](CIHDMPropertySheet& shown) {
        EXPECT_EQ(shown.settings(), expected);
        shown.pageOf<CIHDMPropertyTrack>()->addTrack();
        return QDialog::Rejected;
    });
    EXPECT_EQ(sheet.run(expected), QDialog::Rejected);
}

} // namespace
} // namespace zeb::recorder

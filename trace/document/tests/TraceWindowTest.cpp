#include "messages/codecs/StandardCodecs.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/DialogAnswers.h"
#include "testsupport/DocumentWindowTest.h"
#include "testsupport/PortPrintingProcess.h"
#include "testsupport/QtWaitFor.h"
#include "trace/document/CIHDBDocument.h"
#include "trace/document/CIHDBPropertyColor.h"
#include "trace/document/CIHDBPropertyComponent.h"
#include "trace/document/CIHDBPropertySheet.h"
#include "trace/document/CIHDBView.h"
#include "trace/document/TraceFont.h"
#include "trace/document/TraceListModel.h"

#include <QAction>
#include <QCheckBox>
#include <QFontDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace zeb::trace {
namespace {

using testsupport::qtWaitFor;

class TraceWindowTest : public testsupport::DocumentWindowTest
{
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        stream::socket::registerSocketTransports();
        codecs::registerMessageCodecs();
        registerTraceDocumentType();
        addTemplate(CIHDBDocument::kKey, QStringLiteral("Remote trace viewer"));
    }

    void TearDown() override
    {
        closeDocuments();
        connection.reset();
        DocumentWindowTest::TearDown();
    }

    CIHDBView& openTrace()
    {
        CIHDBView* view = openDocument<CIHDBDocument>(CIHDBDocument::kKey).view();
        EXPECT_NE(view, nullptr);
        return *view;
    }

    // The last `count` rows the list shows, as (level, component), with their colours.
    static bool lastRowsAre(const CIHDBView& view, int count, const std::function<bool(const QModelIndex&)>& wanted)
    {
        const TraceListModel& model = view.listModel();
        if (model.rowCount() < count)
            return false;
        for (int row = model.rowCount() - count; row < model.rowCount(); ++row) {
            if (!wanted(model.index(row, 0)))
                return false;
        }
        return true;
    }

    std::unique_ptr<stream::IOSTStream> connection;
};

// The trace viewer on the application connection to the simulated receiver: the component page fills from the
// receiver's answer, switching everything off but NAV's Trace1 and Valid levels changes what the receiver sends, and
// the list then shows only those levels, each in its colour. Suspend holds the list; Clear empties it.
TEST_F(TraceWindowTest, SwitchesTheSimulatorsLevelsAndShowsOnlyThoseRows)
{
    testsupport::PortPrintingProcess simulator({ZEB500_SIM_EXECUTABLE, "--port", "0", "--pace", "20", "--trace-rate",
                                                "400", std::string(ZEB500_CAPTURES) + "/nmea/isync.nmea"});
    ASSERT_NE(simulator.port(), 0u) << "the simulated receiver did not start";
    connection = std::make_unique<stream::IOSTStream>(65);
    ASSERT_EQ(connection->open("/dev/client/localhost/" + std::to_string(simulator.port()), "r+b"),
              stream::StreamStatus::Ok);

    CIHDBView& view = openTrace();
    ASSERT_TRUE(qtWaitFor([&] { return view.listModel().rowCount() > 20; }, "the receiver's first trace rows"));
    ASSERT_TRUE(view.suspendAction()->isEnabled());

    testsupport::DialogAnswers answers;
    answers.next<CIHDBPropertySheet>([&](CIHDBPropertySheet& sheet) {
        CIHDBPropertyComponent& page = sheet.componentPage();
        EXPECT_TRUE(qtWaitFor([&] { return page.grid().rowCount() == 5; }, "the receiver's five components"));
        const auto nav = page.components().find("NAV");
        EXPECT_TRUE(nav);
        if (!nav)
            return QDialog::Rejected;
        const int row = static_cast<int>(*nav);
        EXPECT_EQ(page.grid().item(row, 1)->text(), "X");
        EXPECT_EQ(page.grid().item(row, 3)->text(), " ");
        // Everything off (row 0's Error switch is on), then NAV's Trace1 and Valid on, as clicks would.
        emit page.grid().horizontalHeader()->sectionClicked(0);
        emit page.grid().cellClicked(row, 3);
        emit page.grid().cellClicked(row, 6);
        EXPECT_EQ(page.grid().item(row, 3)->text(), "X");
        EXPECT_EQ(page.grid().item(0, 1)->text(), " ");
        return QDialog::Accepted;
    });
    view.propertiesAction()->trigger();

    const auto navTrace1OrValid = [&](const QModelIndex& index) {
        const TraceListModel& model = view.listModel();
        const QString level = model.data(index, Qt::DisplayRole).toString();
        const QString component
            = model.data(index.siblingAtColumn(TraceListModel::Component), Qt::DisplayRole).toString();
        const auto colour = model.data(index, Qt::ForegroundRole).value<QColor>();
        return component == "NAV"
            && ((level == "3" && colour == QColor(Qt::black)) || (level == "6" && colour == QColor(Qt::cyan)));
    };
    ASSERT_TRUE(qtWaitFor([&] { return lastRowsAre(view, 100, navTrace1OrValid); },
                          "a hundred rows of NAV's Trace1 and Valid levels only"));

    view.suspendAction()->trigger();
    const std::uint64_t before = view.records().appended();
    QTest::qWait(300);
    EXPECT_EQ(view.records().appended(), before);
    view.suspendAction()->trigger();
    view.clearAction()->trigger();
    EXPECT_EQ(view.listModel().rowCount(), 0);
    ASSERT_TRUE(qtWaitFor([&] { return view.listModel().rowCount() > 0; }, "rows again after resuming"));
    EXPECT_TRUE(messages.empty());
}

// A bold font chosen on the display page is kept as weight 700 and comes back bold in the next viewer.
TEST_F(TraceWindowTest, ChosenFontAndColoursAreKeptForTheNextViewer)
{
    CIHDBView& view = openTrace();
    EXPECT_FALSE(view.suspendAction()->isEnabled());
    testsupport::DialogAnswers answers;
    answers.next<CIHDBPropertySheet>([&](CIHDBPropertySheet& sheet) {
        answers.next<QFontDialog>([](QFontDialog& chooser) {
            QFont bold(QStringLiteral("DejaVu Sans Mono"), 10, QFont::Bold);
            chooser.setCurrentFont(bold);
            return QDialog::Accepted;
        });
        sheet.colourPage().fontButton().click();
        return QDialog::Accepted;
    });
    view.propertiesAction()->trigger();
    EXPECT_EQ(FontDescription::fromText(platform::Settings::current().readText("Settings", "IHDBFont", "")).weight,
              700);

    CIHDBView& next = openTrace();
    EXPECT_TRUE(next.font().bold());
}

// The list learns of the ring's records in batches: new rows at the end, the oldest leaving once it is full, and a
// batch larger than the list or a clear showing the ring afresh. Rows read the records they were told of.
TEST(TraceListModelTest, FollowsTheRingInBatches)
{
    TraceRing ring(10);
    TraceListModel model(ring);
    const auto append = [&](std::uint32_t from, std::uint32_t to) {
        for (std::uint32_t line = from; line <= to; ++line)
            ring.append(TraceRecord{line % 7, "NAV", "nav.c", line, "c"});
    };
    const auto lineAt = [&](int row) { return model.data(model.index(row, TraceListModel::Line), Qt::DisplayRole); };

    append(1, 4);
    EXPECT_TRUE(model.sync());
    EXPECT_EQ(model.rowCount(), 4);
    append(5, 12);
    // Not told yet: the rows shown keep their records.
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_TRUE(model.sync());
    EXPECT_EQ(model.rowCount(), 10);
    EXPECT_EQ(lineAt(0), "3");
    EXPECT_EQ(lineAt(9), "12");
    EXPECT_FALSE(model.sync());

    append(13, 40);
    EXPECT_TRUE(model.sync());
    EXPECT_EQ(lineAt(0), "31");
    EXPECT_EQ(model.data(model.index(9, TraceListModel::Level), Qt::ForegroundRole).value<QColor>(),
              colourOf(kDefaultColours[colourIndex(40 % 7)]));
    ring.clear();
    model.sync();
    EXPECT_EQ(model.rowCount(), 0);
}

} // namespace
} // namespace zeb::trace

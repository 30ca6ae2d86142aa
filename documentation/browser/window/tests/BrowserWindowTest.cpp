#include "app/language/ResourceLibrary.h"
#include "app/language/qt/Resources.h"
#include "documentation/browser/core/Favorites.h"
#include "documentation/browser/window/CIHWBChildFrame.h"
#include "documentation/browser/window/CIHWBDocument.h"
#include "documentation/browser/window/CIHWBView.h"
#include "platform/Environment.h"
#include "platform/MessageRegistry.h"
#include "platform/MessageTarget.h"
#include "testsupport/DocumentWindowTest.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/ScratchHome.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

namespace zeb::documentation {
namespace {

namespace fs = std::filesystem;

// A small manual in the data folder: two languages, a picture, hostile links, a favourite.
class BrowserWindowTest : public testsupport::DocumentWindowTest
{
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        const std::string links = "<a href='second.html#part'>second</a> <a href='../../secret.txt'>up</a>"
                                  " <a href='https://example.org/a%20b'>web</a> <img src='../img/shot.png'>";
        write("documentation/ENU/introduction.html",
              "<html><head><title>Intro</title></head><body>" + links + " needle</body></html>");
        write("documentation/FRA/introduction.html",
              "<html><head><title>Accueil</title></head><body>" + links + " aiguille</body></html>");
        write("documentation/ENU/second.html", "<html><body><p>first</p><a name='part'>needle</a></body></html>");
        write("secret.txt", "secret");
        write("favorites/Tools/Second.url", "[InternetShortcut]\nURL=" + doc("ENU/second.html") + "\n");
        fs::create_directories(doc("img"));
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        ASSERT_TRUE(picture.save(QString::fromStdString(doc("img/shot.png"))));
        language.set(platform::Environment::kLanguageVariable, "FRA");
        CIHWBDocument::setExternalOpener([this](const std::string& address) { opened.push_back(address); });
        registerBrowserDocumentType();
        addTemplate(CIHWBDocument::kKey, QStringLiteral("Internet explorer"));
    }
    void TearDown() override
    {
        DocumentWindowTest::TearDown();
        CIHWBDocument::setExternalOpener({});
    }

    void write(const std::string& name, const std::string& text) const
    {
        fs::create_directories(fs::path(scratch.path(name)).parent_path());
        std::ofstream(scratch.path(name)) << text;
    }
    std::string doc(const std::string& page) const { return scratch.path("documentation/" + page); }

    testsupport::ScratchHome scratch;
    testsupport::ScopedEnvironment language;
    std::vector<std::string> opened;
};

TEST_F(BrowserWindowTest, ShowsTheManualInTheUserLanguageAndKeepsLinksInside)
{
    // A workspace line naming the English page.
    auto& document = openDocument<CIHWBDocument>(
        CIHWBDocument::kKey, {"$PKVR,RPC,IHWB,URL,\"file://" + doc("ENU/introduction.html") + "\"\r\n"});
    auto* frame = qobject_cast<CIHWBChildFrame*>(document.frame());
    ASSERT_NE(frame, nullptr);
    CIHWBView& view = *frame->browserView();
    EXPECT_EQ(document.address(), doc("FRA/introduction.html"));
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("aiguille")));
    EXPECT_EQ(document.title(), "Accueil");
    EXPECT_FALSE(view.loadResource(QTextDocument::ImageResource, QUrl("../img/shot.png")).isNull());

    // A link out of the documentation stays unfollowed; a web link leaves through the desktop.
    emit view.anchorClicked(QUrl("../../secret.txt"));
    EXPECT_EQ(document.address(), doc("FRA/introduction.html"));
    EXPECT_TRUE(view.loadResource(QTextDocument::HtmlResource, QUrl("../../secret.txt")).isNull());
    emit view.anchorClicked(QUrl("https://example.org/a%20b"));
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.org/a%20b"});

    // The French page has no sibling "second": English it is, with its fragment.
    emit view.anchorClicked(QUrl("second.html#part"));
    EXPECT_EQ(document.address(), doc("ENU/second.html") + "#part");
    EXPECT_EQ(frame->addressBox()->currentText().toStdString(), document.address());
    frame->findField()->setText(QStringLiteral("needle"));
    emit frame->findField()->returnPressed();
    EXPECT_EQ(view.textCursor().selectedText(), QStringLiteral("needle"));
    frame->findField()->setText(QStringLiteral("absent"));
    emit frame->findField()->returnPressed();
    EXPECT_TRUE(frame->statusBar()->currentMessage().contains(QStringLiteral("absent")));

    view.backward();
    EXPECT_EQ(document.address(), doc("FRA/introduction.html"));
    frame->fontMenu()->actions().front()->trigger();
    EXPECT_EQ(view.zoomStep(), CIHWBView::kLargestZoom);

    // Typed addresses outside the documentation show the introduction instead.
    frame->addressBox()->setEditText(QString::fromStdString(scratch.path("secret.txt")));
    emit frame->addressBox()->textActivated(frame->addressBox()->currentText());
    EXPECT_EQ(document.address(), doc("FRA/introduction.html"));

    frame->fillFavorites();
    const QList<QAction*> folders = frame->favoritesMenu()->actions();
    ASSERT_EQ(folders.size(), 1);
    ASSERT_NE(folders.front()->menu(), nullptr);
    folders.front()->menu()->actions().front()->trigger();
    EXPECT_EQ(document.address(), doc("ENU/second.html"));

    // A new window (the Documentation command, a workspace block without a page) opens on the
    // introduction in the user's language.
    EXPECT_EQ(openDocument<CIHWBDocument>(CIHWBDocument::kKey).address(), doc("FRA/introduction.html"));

    // The workspace gets the page back exactly.
    const auto lines = writtenLines(document, scratch.path("saved.ute"));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "$PKVR,RPC,IHWB,URL,\"" + doc("ENU/second.html") + "\"\r\n");
    auto& restored = openDocument<CIHWBDocument>(CIHWBDocument::kKey, lines);
    EXPECT_EQ(restored.address(), doc("ENU/second.html"));
}

// A dialog hosting a browser, with a message handle, that keeps what it is sent.
class HostDialog : public QDialog, public platform::MessageTarget
{
public:
    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override
    {
        received.emplace_back(message, wParam, reinterpret_cast<const char*>(lParam));
        return 0;
    }

    std::vector<std::tuple<platform::MessageId, platform::WParam, std::string>> received;
};

// A browser shown inside a dialog hands it Back and Forward once; one in the main window
// tells no dialog anything.
TEST_F(BrowserWindowTest, TellsAHostingDialogWhichCommandsItTakes)
{
    HostDialog dialog;
    auto* dialogArea = new QMdiArea(&dialog);
    dialog.resize(600, 400);
    dialogArea->resize(600, 400);
    dialog.show();
    openDocument<CIHWBDocument>(CIHWBDocument::kKey);
    EXPECT_TRUE(dialog.received.empty());

    framework::DocumentManager::instance().setArea(dialogArea);
    auto& hosted = openDocument<CIHWBDocument>(CIHWBDocument::kKey);
    framework::DocumentManager::instance().setArea(area);
    ASSERT_NE(hosted.frame(), nullptr);
    ASSERT_TRUE(dialog.isAncestorOf(hosted.frame()));
    const platform::MessageId accept = platform::MessageRegistry::registerMessage("ON_ACCEPT_COMMAND");
    using Sent = std::tuple<platform::MessageId, platform::WParam, std::string>;
    EXPECT_EQ(dialog.received, (std::vector<Sent>{{accept, 33007, "BACKWARD"}, {accept, 33008, "FORWARD"}}));
    closeDocuments();
}

// The page buttons of the language library open their page in the user's language, or in
// English when it is not translated; a library without them gives no buttons.
TEST_F(BrowserWindowTest, PageButtonsOpenTheirPageOfTheManual)
{
    write("documentation/FRA/trace.html", "<html><body>trace</body></html>");
    write("documentation/ENU/heading.html", "<html><body>heading</body></html>");
    auto& bare = openDocument<CIHWBDocument>(CIHWBDocument::kKey);
    EXPECT_EQ(bare.frame()->findChild<QAction*>(QStringLiteral("page33027")), nullptr);

    const std::unique_ptr<language::ResourceLibrary> french = language::ResourceLibrary::load("FRA");
    ASSERT_NE(french, nullptr) << "the French language library is not built";
    language::Resources::setLibrary(french.get());
    auto& document = openDocument<CIHWBDocument>(CIHWBDocument::kKey);
    auto* frame = document.frame();
    for (const unsigned id : CIHWBChildFrame::kPageButtons)
        EXPECT_NE(frame->findChild<QAction*>(QStringLiteral("page%1").arg(id)), nullptr) << id;
    QAction* trace = frame->findChild<QAction*>(QStringLiteral("page33027"));
    QAction* heading = frame->findChild<QAction*>(QStringLiteral("page33030"));
    language::Resources::setLibrary(nullptr);
    ASSERT_NE(trace, nullptr);
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(trace->text(), QStringLiteral("Visualiseur de trace"));
    trace->trigger();
    EXPECT_EQ(document.address(), doc("FRA/trace.html"));
    heading->trigger();
    EXPECT_EQ(document.address(), doc("ENU/heading.html"));
}

} // namespace
} // namespace zeb::documentation

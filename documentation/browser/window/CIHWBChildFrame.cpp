#include "documentation/browser/window/CIHWBChildFrame.h"

#include "app/language/qt/Resources.h"
#include "documentation/browser/core/DocumentationRoots.h"
#include "documentation/browser/core/Favorites.h"
#include "documentation/browser/window/CIHWBDocument.h"
#include "documentation/browser/window/CIHWBView.h"
#include "platform/Environment.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <filesystem>

namespace zeb::documentation {
namespace {

// Most entries the address box keeps.
constexpr int kMaxAddresses = 50;
constexpr int kNoticeMs = 8000;

using language::Resources;

void addFolder(QMenu& menu, const Favorites::Folder& folder, CIHWBDocument& document)
{
    for (const Favorites::Folder& sub : folder.folders)
        addFolder(*menu.addMenu(QString::fromStdString(sub.name)), sub, document);
    for (const Favorites::Item& item : folder.items) {
        QAction* action = menu.addAction(QString::fromStdString(item.name));
        action->setToolTip(QString::fromStdString(item.address));
        QObject::connect(action, &QAction::triggered, &document,
                         [&document, address = item.address] { document.setAddress(address); });
    }
}

// Where a page button leads: a bare page name is taken beside the introduction of the current
// language (the document falls back to English when the page is not translated); anything else is
// an address of its own, which the document checks like a typed one.
std::string pageAddress(const std::string& page)
{
    if (page.find_first_of("/:\\") != std::string::npos)
        return page;
    const std::filesystem::path introduction
        = DocumentationRoots::installed().introduction(platform::Environment::language());
    return (introduction.parent_path() / page).string();
}

} // namespace

CIHWBChildFrame::CIHWBChildFrame(CIHWBDocument& document, QWidget* parent)
    : CIHCOChildFrame(document, parent)
    , m_document(document)
    , m_view(new CIHWBView(document))
{
    setView(m_view);
    m_status = new QStatusBar;
    inner()->setStatusBar(m_status);
    buildToolBar();
    buildAddressBar();

    connect(m_view, &QTextBrowser::highlighted, this,
            [this](const QUrl& link) { m_status->showMessage(link.toString()); });
    connect(m_view, &CIHWBView::notice, this, [this](const QString& text) { m_status->showMessage(text, kNoticeMs); });
    connect(&document, &CIHWBDocument::notice, this,
            [this](const QString& text) { m_status->showMessage(text, kNoticeMs); });
    connect(m_view, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_view->documentTitle();
        m_document.setTitle(title.isEmpty() ? std::string("Documentation") : title.toStdString());
    });
    connect(&document, &CIHWBDocument::addressChanged, this,
            [this](const QString& address) { m_address->setEditText(address); });
    m_address->setEditText(QString::fromStdString(document.address()));
    const QString title = m_view->documentTitle();
    document.setTitle(title.isEmpty() ? std::string("Documentation") : title.toStdString());
}

void CIHWBChildFrame::buildToolBar()
{
    auto* bar = new QToolBar;
    bar->setWindowTitle(Resources::text("IHWB/TOOLBAR", QStringLiteral("Browser")));
    const QStyle* look = style();
    QAction* back = bar->addAction(look->standardIcon(QStyle::SP_ArrowBack),
                                   Resources::text("IHWB/BACK", QStringLiteral("Back")));
    QAction* forward = bar->addAction(look->standardIcon(QStyle::SP_ArrowForward),
                                      Resources::text("IHWB/FORWARD", QStringLiteral("Forward")));
    QAction* home = bar->addAction(look->standardIcon(QStyle::SP_DirHomeIcon),
                                   Resources::text("IHWB/HOME", QStringLiteral("Home")));
    QAction* refresh = bar->addAction(look->standardIcon(QStyle::SP_BrowserReload),
                                      Resources::text("IHWB/REFRESH", QStringLiteral("Refresh")));
    back->setObjectName(QStringLiteral("back"));
    forward->setObjectName(QStringLiteral("forward"));
    home->setObjectName(QStringLiteral("home"));
    refresh->setObjectName(QStringLiteral("refresh"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QAction::triggered, m_view, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_view, &QTextBrowser::forward);
    connect(home, &QAction::triggered, m_view, &CIHWBView::home);
    connect(refresh, &QAction::triggered, m_view, &QTextBrowser::reload);
    connect(m_view, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_view, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    m_favorites = new QMenu(this);
    connect(m_favorites, &QMenu::aboutToShow, this, &CIHWBChildFrame::fillFavorites);
    auto* favorites = new QToolButton;
    favorites->setText(Resources::text("IHWB/FAVORITES", QStringLiteral("Favourites")));
    favorites->setMenu(m_favorites);
    favorites->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(favorites);

    m_font = new QMenu(this);
    const std::pair<int, QString> sizes[] = {
        {CIHWBView::kLargestZoom, Resources::text("IHWB/FONT_LARGEST", QStringLiteral("Largest"))},
        {CIHWBView::kLargestZoom / 2, Resources::text("IHWB/FONT_LARGER", QStringLiteral("Larger"))},
        {0, Resources::text("IHWB/FONT_MEDIUM", QStringLiteral("Medium"))},
        {CIHWBView::kSmallestZoom / 2, Resources::text("IHWB/FONT_SMALLER", QStringLiteral("Smaller"))},
        {CIHWBView::kSmallestZoom, Resources::text("IHWB/FONT_SMALLEST", QStringLiteral("Smallest"))},
    };
    for (const auto& [step, label] : sizes)
        connect(m_font->addAction(label), &QAction::triggered, m_view, [this, step] { m_view->setZoomStep(step); });
    auto* font = new QToolButton;
    font->setText(Resources::text("IHWB/FONT", QStringLiteral("Font")));
    font->setMenu(m_font);
    font->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(font);

    addPageButtons(*bar);

    m_find = new QLineEdit;
    m_find->setPlaceholderText(Resources::text("IHWB/FIND", QStringLiteral("Find in page")));
    m_find->setClearButtonEnabled(true);
    m_find->setMaximumWidth(200);
    connect(m_find, &QLineEdit::returnPressed, this, &CIHWBChildFrame::findNext);
    bar->addWidget(m_find);
    addBar(bar, kBrowserBar);
}

void CIHWBChildFrame::addPageButtons(QToolBar& bar)
{
    for (const unsigned id : kPageButtons) {
        const QString text = Resources::string(id);
        const qsizetype split = text.indexOf(QLatin1Char('\n'));
        // A language library without the text, or with a malformed one, simply has no button.
        if (split <= 0 || split + 1 >= text.size())
            continue;
        QAction* action = bar.addAction(text.left(split));
        action->setObjectName(QStringLiteral("page%1").arg(id));
        const std::string page = text.mid(split + 1).trimmed().toStdString();
        action->setToolTip(QString::fromStdString(page));
        connect(action, &QAction::triggered, this, [this, page] { m_document.setAddress(pageAddress(page)); });
    }
}

void CIHWBChildFrame::initialUpdate()
{
    m_view->initialUpdate();
}

void CIHWBChildFrame::buildAddressBar()
{
    auto* bar = new QToolBar;
    bar->setWindowTitle(Resources::text("IHWB/ADDRESS", QStringLiteral("Address")));
    m_address = new QComboBox;
    m_address->setEditable(true);
    m_address->setMaxCount(kMaxAddresses);
    m_address->setInsertPolicy(QComboBox::InsertAtTop);
    m_address->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_address, &QComboBox::textActivated, this, &CIHWBChildFrame::navigateTo);
    bar->addWidget(m_address);
    addBar(bar, kAddressBar);
    inner()->insertToolBarBreak(bar);
}

void CIHWBChildFrame::navigateTo(const QString& text)
{
    if (text.trimmed().isEmpty())
        return;
    m_document.setAddress(text.trimmed().toStdString());
}

void CIHWBChildFrame::findNext()
{
    const QString text = m_find->text();
    if (!m_view->findText(text))
        m_status->showMessage(Resources::text("IHWB/NOT_FOUND", QStringLiteral("Not found in this page: %1")).arg(text),
                              kNoticeMs);
}

void CIHWBChildFrame::fillFavorites()
{
    m_favorites->clear();
    const Favorites::Folder folder = Favorites::read(Favorites::defaultFolder());
    addFolder(*m_favorites, folder, m_document);
    if (m_favorites->isEmpty()) {
        QAction* none = m_favorites->addAction(
            Resources::text("IHWB/NO_FAVORITES", QStringLiteral("No favourites: put .url files in %1"))
                .arg(QString::fromStdString(Favorites::defaultFolder())));
        none->setEnabled(false);
    }
}

} // namespace zeb::documentation

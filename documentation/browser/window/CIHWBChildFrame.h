#pragma once

#include "app/framework/CIHCOChildFrame.h"

class QComboBox;
class QLineEdit;
class QMenu;
class QStatusBar;
class QToolBar;

namespace zeb::documentation {

class CIHWBDocument;
class CIHWBView;
struct Favorites;

// The browser's window: the view, a tool bar (back, forward, home, refresh, favourites, font,
// find), the address box and a status bar.
class CIHWBChildFrame : public framework::CIHCOChildFrame
{
    Q_OBJECT

public:
    static constexpr std::uint32_t kBrowserBar = 59392;
    static constexpr std::uint32_t kAddressBar = 59393;

    // The string resources of the buttons that open a page of the manual ("caption\npage").
    static constexpr unsigned kPageButtons[] = {33023, 33025, 33026, 33027, 33029, 33030, 33031, 33032};

    explicit CIHWBChildFrame(CIHWBDocument& document, QWidget* parent = nullptr);

    CIHWBView* browserView() const { return m_view; }
    QComboBox* addressBox() const { return m_address; }
    QLineEdit* findField() const { return m_find; }
    QMenu* favoritesMenu() const { return m_favorites; }
    QMenu* fontMenu() const { return m_font; }
    QStatusBar* statusBar() const { return m_status; }

    // Rebuilds the favourites menu from the favourites folder (done each time it opens).
    void fillFavorites();

protected:
    void initialUpdate() override;

private:
    void buildToolBar();
    void addPageButtons(QToolBar& bar);
    void buildAddressBar();
    void navigateTo(const QString& text);
    void findNext();

    CIHWBDocument& m_document;
    CIHWBView* m_view;
    QComboBox* m_address = nullptr;
    QLineEdit* m_find = nullptr;
    QMenu* m_favorites = nullptr;
    QMenu* m_font = nullptr;
    QStatusBar* m_status = nullptr;
};

} // namespace zeb::documentation

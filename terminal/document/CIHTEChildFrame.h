#pragma once

#include "app/framework/CIHCOChildFrame.h"

class QAction;
class QDockWidget;
class QToolBar;

namespace zeb::terminal {

class CIHTEDocument;
class CIHTEView;
class CIHTEToolBar;
class CIHTEButtonBar;

// The terminal's window: the view, a standard tool bar, the terminal tool bar and the button bar
// (sized as the document says). The window menu gets two items that show or hide the two
// terminal bars.
class CIHTEChildFrame : public framework::CIHCOChildFrame
{
    Q_OBJECT

public:
    static constexpr std::uint32_t kStandardBar = 59392;
    static constexpr std::uint32_t kTerminalBar = 33610;
    static constexpr std::uint32_t kButtonBar = 33611;

    explicit CIHTEChildFrame(CIHTEDocument& terminal, QWidget* parent = nullptr);

    CIHTEView* terminalView() const { return m_view; }
    CIHTEToolBar* terminalToolBar() const { return m_toolBar; }
    CIHTEButtonBar* buttonBar() const { return m_buttonBar; }

protected:
    void initialUpdate() override;

private:
    void addSystemMenuItems();

    CIHTEView* m_view;
    CIHTEToolBar* m_toolBar;
    CIHTEButtonBar* m_buttonBar;
    QToolBar* m_terminalBarHolder;
    QDockWidget* m_buttonBarHolder;
};

} // namespace zeb::terminal

#pragma once

#include <QMdiSubWindow>
#include <QPointer>

#include <cstdint>
#include <vector>

class QMainWindow;
class QToolBar;
class QDockWidget;

namespace zeb::framework {

class CIHCODocument;

// The window of one document inside the main frame's document area. It holds an inner main
// window so that documents can have tool bars and dock widgets; each bar has a numeric
// identifier, which the workspace's BAR records name. Closing it deletes its document.
class CIHCOChildFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    // The dynamic property that carries a bar's identifier (its objectName is "bar<id>" too).
    static constexpr const char* kBarIdProperty = "zebBarId";

    explicit CIHCOChildFrame(CIHCODocument& document, QWidget* parent = nullptr);
    ~CIHCOChildFrame() override;

    CIHCODocument* document() const;
    QMainWindow* inner() const { return m_inner; }
    // The document's view becomes the inner window's central widget.
    void setView(QWidget* view);
    QWidget* view() const;

    void addBar(QToolBar* bar, std::uint32_t id, Qt::ToolBarArea area = Qt::TopToolBarArea);
    void addBar(QDockWidget* bar, std::uint32_t id, Qt::DockWidgetArea area = Qt::BottomDockWidgetArea);
    // The identifiers of the frame's bars, tool bars then dock widgets, in the order added.
    std::vector<std::uint32_t> barIds() const;
    QWidget* bar(std::uint32_t id) const;
    // The bars still alive, in the order added.
    std::vector<QToolBar*> toolBars() const;
    std::vector<QDockWidget*> dockWidgets() const;
    // The identifier of one of the frame's bars; 0 for anything else.
    static std::uint32_t barId(const QWidget* bar);

    // Placement in the document area: the normal (restored) geometry, kept while the window
    // is minimised or maximised, and the show state (1 normal, 2 minimised, 3 maximised).
    QRect normalPlacement() const;
    int showState() const;
    // Sets the normal geometry; a minimised or maximised window keeps its state.
    void place(const QRect& normal);
    // Shows the window minimised (2), maximised (3) or normally (1 and any other code).
    void showWithState(int showState);

protected:
    // The framework's initial update of the view: called once, the first time the frame is shown.
    virtual void initialUpdate() { }

    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class CIHCODocument;
    void rememberPlacement();
    void releaseDocument();

    QPointer<CIHCODocument> m_document;
    QMainWindow* m_inner;
    QRect m_normal;
    bool m_initialised = false;
    std::vector<QPointer<QToolBar>> m_toolBars;
    std::vector<QPointer<QDockWidget>> m_dockWidgets;
};

} // namespace zeb::framework

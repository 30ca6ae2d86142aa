#pragma once

#include "terminal/screen/ScreenLayout.h"
#include "terminal/screen/ScreenText.h"

#include <QColor>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <string_view>

class QScrollBar;
class QPainter;

namespace zeb::terminal {

class CWICOEditor;
class ScreenPane;

// The terminal's scrolling, coloured text screen: a pane drawing a ScreenText on the grid of the system's
// fixed-pitch font, the scroll bars and the input line, as the style mask asks.
//
// Adding text only updates the store and arms a short timer; the scroll bars and the pane are brought
// up to date once when it fires, so a flood of thousands of lines a second costs one repaint per frame
// and the window stays responsive. Painting converts only the visible columns of the visible lines.
class CWICOScreenView : public QWidget
{
    Q_OBJECT

public:
    static constexpr unsigned kAllParts
        = ScreenLayout::kInputLine | ScreenLayout::kHorizontalBar | ScreenLayout::kVerticalBar;
    // How long added text may wait before it shows: about one frame.
    static constexpr int kRefreshDelayMs = 15;

    explicit CWICOScreenView(unsigned styleMask = kAllParts, QWidget* parent = nullptr);
    ~CWICOScreenView() override;

    ScreenText& text() { return m_text; }
    const ScreenText& text() const { return m_text; }

    // The colour (0x00BBGGRR) of lines created from now on.
    void setColour(std::uint32_t colour) { m_text.setColour(colour); }
    // Appends text (up to its first NUL) and scrolls to the end. Cheap: the screen refreshes later.
    void addText(std::string_view text);
    void addText(std::uint32_t colour, std::string_view text);
    // Removes all lines, resets the scroll positions and the selection.
    void clear();
    // How many lines the screen keeps (ScreenLineStore's bounds).
    void setScrollBack(int lines);
    // Selects the next or previous place holding `needle` and scrolls to it; false when there is none.
    bool findText(const std::string& needle, bool forward);
    // Shows the last lines again after the reader scrolled back.
    void scrollToEnd();
    // A note in the pane's last row (empty: none), such as how many lines a suspended terminal holds. The
    // count of unseen lines takes the row while there is one.
    void setNotice(const QString& notice);
    // Grey background and a read-only input line while inactive; white and editable while active.
    void setInactive(bool inactive);
    bool inactive() const { return m_text.inactive(); }

    // Brings the scroll bars and the pane up to date now instead of at the next refresh.
    void flush();

    unsigned styleMask() const { return m_styleMask; }
    CWICOEditor* inputLine() const { return m_input; }
    QScrollBar* horizontalBar() const { return m_horizontal; }
    QScrollBar* verticalBar() const { return m_vertical; }
    QWidget* pane() const;

    // 0x00BBGGRR to a Qt colour.
    static QColor toColor(std::uint32_t colour);

signals:
    // The input line's text followed by CR LF.
    void lineEntered(const std::string& textWithCrLf);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class ScreenPane;

    void relayout();
    void syncScrollBars();
    void scheduleRefresh();
    void onScrollAction(bool vertical, int action);
    void scrollLines(int lines);
    void paintPane(QPainter& painter, const QRect& dirty);
    void paintRun(QPainter& painter, int row, int fromColumn, int toColumn, const QColor& colour);
    void paintUnseen(QPainter& painter);
    bool onUnseenBanner(int y) const;
    void copyToClipboard(const std::string& copied);

    ScreenText m_text;
    unsigned m_styleMask;
    ScreenPane* m_pane = nullptr;
    CWICOEditor* m_input = nullptr;
    QScrollBar* m_horizontal = nullptr;
    QScrollBar* m_vertical = nullptr;
    QTimer m_refresh;
    int m_ascent = 0;
    // The visible part of the line being painted, kept to reuse its storage.
    QString m_run;
    QString m_notice;
};

} // namespace zeb::terminal

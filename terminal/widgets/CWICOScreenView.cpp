#include "terminal/widgets/CWICOScreenView.h"

#include "terminal/widgets/CWICOEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace zeb::terminal {

// The text pane: hands its drawing and mouse to the view, which owns the ScreenText.
class ScreenPane : public QWidget
{
public:
    explicit ScreenPane(CWICOScreenView& view)
        : QWidget(&view)
        , m_view(view)
    {
        setObjectName(QStringLiteral("pane"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        // Selecting text must not take the focus from the input line.
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        m_view.paintPane(painter, event->rect());
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) {
            return;
        }
        const QPoint at = event->position().toPoint();
        if (m_view.onUnseenBanner(at.y())) {
            m_view.scrollToEnd();
            return;
        }
        m_view.m_text.mousePress(at.x(), at.y());
        update();
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if ((event->buttons() & Qt::LeftButton) == 0 || !m_view.m_text.selection().dragging()) {
            return;
        }
        const QPoint at = event->position().toPoint();
        m_view.m_text.mouseMove(at.x(), at.y());
        update();
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) {
            return;
        }
        m_view.copyToClipboard(m_view.m_text.mouseRelease());
        update();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) {
            return;
        }
        const QPoint at = event->position().toPoint();
        m_view.copyToClipboard(m_view.m_text.doubleClick(at.x(), at.y()));
        update();
    }

    void wheelEvent(QWheelEvent* event) override
    {
        // Three lines a notch, as scroll wheels usually go.
        const int notches = event->angleDelta().y() / 120;
        if (notches != 0) {
            m_view.scrollLines(-3 * notches);
        }
        event->accept();
    }

private:
    CWICOScreenView& m_view;
};

namespace {

QScrollBar* makeBar(Qt::Orientation orientation, const char* name, QWidget* parent)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setSingleStep(1);
    return bar;
}

void place(QWidget* widget, const ScreenRect& rect)
{
    if (widget == nullptr) {
        return;
    }
    widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
    widget->setVisible(!rect.empty());
}

// A byte as the screen shows it: one fixed-width cell per byte, control characters (a lone LF kept in a
// line, a tab) as a middle dot so that they neither vanish nor move the following text off the grid.
QChar cellCharacter(unsigned char byte)
{
    if (byte < 0x20 || byte == 0x7F) {
        return QChar(0x00B7);
    }
    return QChar(byte);
}

} // namespace

CWICOScreenView::CWICOScreenView(unsigned styleMask, QWidget* parent)
    : QWidget(parent)
    , m_styleMask(styleMask)
{
    setObjectName(QStringLiteral("CWICOScreenView"));
    m_pane = new ScreenPane(*this);
    if ((styleMask & ScreenLayout::kInputLine) != 0) {
        m_input = new CWICOEditor(this);
        m_input->setReadOnly(m_text.inputReadOnly());
        connect(m_input, &CWICOEditor::lineEntered, this, &CWICOScreenView::lineEntered);
        setFocusProxy(m_input);
    }
    if ((styleMask & ScreenLayout::kHorizontalBar) != 0) {
        m_horizontal = makeBar(Qt::Horizontal, "horizontalBar", this);
        connect(m_horizontal, &QScrollBar::actionTriggered, this,
                [this](int action) { onScrollAction(false, action); });
    }
    if ((styleMask & ScreenLayout::kVerticalBar) != 0) {
        m_vertical = makeBar(Qt::Vertical, "verticalBar", this);
        connect(m_vertical, &QScrollBar::actionTriggered, this, [this](int action) { onScrollAction(true, action); });
    }

    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_pane->setFont(font);
    if (m_input != nullptr) {
        m_input->setFont(font);
    }
    const QFontMetrics metrics(font);
    m_ascent = metrics.ascent();
    m_text.setCellSize(metrics.horizontalAdvance(QLatin1Char('M')), metrics.height());

    m_refresh.setSingleShot(true);
    m_refresh.setInterval(kRefreshDelayMs);
    connect(&m_refresh, &QTimer::timeout, this, &CWICOScreenView::flush);
    relayout();
}

CWICOScreenView::~CWICOScreenView() = default;

QWidget* CWICOScreenView::pane() const
{
    return m_pane;
}

QColor CWICOScreenView::toColor(std::uint32_t colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

void CWICOScreenView::addText(std::string_view text)
{
    m_text.addText(text);
    scheduleRefresh();
}

void CWICOScreenView::addText(std::uint32_t colour, std::string_view text)
{
    m_text.setColour(colour);
    addText(text);
}

void CWICOScreenView::clear()
{
    m_text.clear();
    flush();
}

void CWICOScreenView::setScrollBack(int lines)
{
    m_text.setScrollBack(lines);
    flush();
}

bool CWICOScreenView::findText(const std::string& needle, bool forward)
{
    const bool found = m_text.find(needle, forward);
    flush();
    return found;
}

void CWICOScreenView::scrollToEnd()
{
    m_text.scrollToEnd();
    flush();
}

void CWICOScreenView::setInactive(bool inactive)
{
    m_text.setInactive(inactive);
    if (m_input != nullptr) {
        m_input->setReadOnly(inactive);
    }
    m_pane->update();
}

void CWICOScreenView::flush()
{
    m_refresh.stop();
    syncScrollBars();
    m_pane->update();
}

void CWICOScreenView::scheduleRefresh()
{
    if (!m_refresh.isActive()) {
        m_refresh.start();
    }
}

void CWICOScreenView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void CWICOScreenView::relayout()
{
    const ScreenLayout layout = ScreenLayout::compute(width(), height(), m_styleMask);
    place(m_pane, layout.pane);
    place(m_input, layout.input);
    place(m_horizontal, layout.horizontalBar);
    place(m_vertical, layout.verticalBar);
    m_text.setPaneSize(layout.pane.width, layout.pane.height);
    flush();
}

void CWICOScreenView::syncScrollBars()
{
    const auto sync = [](QScrollBar* bar, const ScrollAxis& axis) {
        if (bar == nullptr) {
            return;
        }
        const QSignalBlocker blocker(bar);
        bar->setRange(0, axis.maximum());
        bar->setPageStep(std::max(1, axis.page()));
        bar->setValue(axis.position());
    };
    sync(m_vertical, m_text.vertical());
    sync(m_horizontal, m_text.horizontal());
}

// The bar's own idea of a step is replaced by the text's: page steps move 10 lines or 5 columns, while
// the bar's page (its thumb) is what the pane shows.
void CWICOScreenView::onScrollAction(bool vertical, int action)
{
    QScrollBar* bar = vertical ? m_vertical : m_horizontal;
    ScrollAction scroll = ScrollAction::Thumb;
    int thumb = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        scroll = ScrollAction::LineDown;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        scroll = ScrollAction::LineUp;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        scroll = ScrollAction::PageDown;
        break;
    case QAbstractSlider::SliderPageStepSub:
        scroll = ScrollAction::PageUp;
        break;
    case QAbstractSlider::SliderMove:
    case QAbstractSlider::SliderToMinimum:
    case QAbstractSlider::SliderToMaximum:
        thumb = bar->sliderPosition();
        break;
    default:
        return;
    }
    if (vertical) {
        m_text.scrollVertical(scroll, thumb);
    } else {
        m_text.scrollHorizontal(scroll, thumb);
    }
    bar->setSliderPosition(vertical ? m_text.firstVisibleLine() : m_text.firstVisibleColumn());
    m_pane->update();
}

void CWICOScreenView::scrollLines(int lines)
{
    const ScrollAction step = lines < 0 ? ScrollAction::LineUp : ScrollAction::LineDown;
    for (int i = std::abs(lines); i > 0; --i) {
        m_text.scrollVertical(step);
    }
    syncScrollBars();
    m_pane->update();
}

void CWICOScreenView::paintPane(QPainter& painter, const QRect& dirty)
{
    const QColor background = toColor(m_text.background());
    painter.fillRect(dirty, background);
    const ScreenLineStore& lines = m_text.lines();
    const int cellHeight = m_text.cellHeight();
    const int firstLine = m_text.firstVisibleLine();
    const int firstColumn = m_text.firstVisibleColumn();
    // One more column and row than fit whole: the partly visible ones at the edges.
    const int columns = m_text.visibleColumns() + 1;
    const int fromRow = std::max(0, dirty.top() / cellHeight);
    const int toRow = dirty.bottom() / cellHeight;
    for (int row = fromRow; row <= toRow; ++row) {
        const int line = firstLine + row;
        if (line >= lines.lineCount()) {
            break;
        }
        const std::string_view text = lines.line(line);
        const int length = static_cast<int>(text.size());
        if (length <= firstColumn) {
            continue;
        }
        const int lastColumn = std::min(length, firstColumn + columns);
        m_run.resize(lastColumn - firstColumn);
        QChar* cells = m_run.data();
        for (int column = firstColumn; column < lastColumn; ++column) {
            cells[column - firstColumn]
                = cellCharacter(static_cast<unsigned char>(text[static_cast<std::size_t>(column)]));
        }

        const QColor colour = toColor(lines.lineColour(line));
        const ColumnRange selected = m_text.selectedColumns(line);
        const int selectedFrom = std::clamp(selected.from, firstColumn, lastColumn);
        const int selectedTo = std::clamp(selected.to, selectedFrom, lastColumn);
        if (selectedFrom >= selectedTo) {
            paintRun(painter, row, firstColumn, lastColumn, colour);
            continue;
        }
        paintRun(painter, row, firstColumn, selectedFrom, colour);
        const int cellWidth = m_text.cellWidth();
        painter.fillRect((selectedFrom - firstColumn) * cellWidth, row * cellHeight,
                         (selectedTo - selectedFrom) * cellWidth, cellHeight, colour);
        paintRun(painter, row, selectedFrom, selectedTo, background);
        paintRun(painter, row, selectedTo, lastColumn, colour);
    }
    paintUnseen(painter);
}

// While the reader is scrolled back, the pane's last row tells how many lines came since; a click on it
// goes to them.
void CWICOScreenView::paintUnseen(QPainter& painter)
{
    const int unseen = m_text.unseenLines();
    if (unseen == 0 && m_notice.isEmpty()) {
        return;
    }
    const QRect row(0, m_pane->height() - m_text.cellHeight(), m_pane->width(), m_text.cellHeight());
    painter.fillRect(row, QColor(255, 255, 192));
    painter.setPen(Qt::black);
    painter.drawText(row, Qt::AlignCenter,
                     unseen > 0 ? tr("%n new line(s) below: click to show", nullptr, unseen) : m_notice);
}

void CWICOScreenView::setNotice(const QString& notice)
{
    if (notice == m_notice) {
        return;
    }
    m_notice = notice;
    m_pane->update();
}

bool CWICOScreenView::onUnseenBanner(int y) const
{
    return m_text.unseenLines() > 0 && y >= m_pane->height() - m_text.cellHeight();
}

// Draws the columns [fromColumn, toColumn) of the run prepared in m_run.
void CWICOScreenView::paintRun(QPainter& painter, int row, int fromColumn, int toColumn, const QColor& colour)
{
    if (fromColumn >= toColumn) {
        return;
    }
    const int firstColumn = m_text.firstVisibleColumn();
    painter.setPen(colour);
    painter.drawText(QPoint((fromColumn - firstColumn) * m_text.cellWidth(), row * m_text.cellHeight() + m_ascent),
                     m_run.mid(fromColumn - firstColumn, toColumn - fromColumn));
}

void CWICOScreenView::copyToClipboard(const std::string& copied)
{
    if (copied.empty()) {
        return;
    }
    QApplication::clipboard()->setText(QString::fromLatin1(copied.data(), static_cast<qsizetype>(copied.size())));
}

} // namespace zeb::terminal

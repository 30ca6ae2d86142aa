#include "remote-display/widgets/CIHAQView.h"

#include "remote-display/core/PanelRequests.h"
#include "remote-display/core/TextDisplay.h"
#include "remote-display/widgets/CIHAQDocument.h"
#include "remote-display/widgets/QtDisplayPainter.h"
#include "stream/IOSTStream.h"

#include <QPainter>
#include <QSpinBox>

namespace zeb::remote_display {

namespace {

constexpr int kCharHeight = 15;
constexpr int kTextWidth = 160;

} // namespace

CIHAQView::CIHAQView(CIHAQDocument& document, QWidget* parent)
    : QWidget(parent)
    , m_document(document)
    , m_spin(new QSpinBox(this))
{
    setFixedSize(kTextWidth + 60, 2 * kCharHeight + 8);
    m_spin->setRange(-1000000, 1000000);
    m_spin->move(kTextWidth + 8, 4);
    m_dimming.setSingleShot(true);
    connect(&m_dimming, &QTimer::timeout, this, [this] {
        m_level = 0;
        update();
    });
    connect(m_spin, &QSpinBox::valueChanged, this, &CIHAQView::stepped);
    if (stream::IOSTStream* stream = document.stream())
        PanelRequests::sendSentence(*stream, PanelRequests::kTest);
}

void CIHAQView::setText(std::string text)
{
    m_text = std::move(text);
    update();
}

void CIHAQView::setLevel(double level)
{
    m_level = level;
    m_dimming.start(TextDisplay::kDimmingMs);
    update();
}

void CIHAQView::stepped(int value)
{
    const bool up = value > m_lastValue;
    m_lastValue = value;
    if (stream::IOSTStream* stream = m_document.stream())
        PanelRequests::sendStep(*stream, up);
}

void CIHAQView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const std::uint32_t bgr = TextDisplay::levelColor(m_level);
    painter.fillRect(QRect(0, 0, kTextWidth, 2 * kCharHeight), QtDisplayPainter::color(bgr));
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(kCharHeight);
    font.setBold(true);
    painter.setFont(font);
    int y = 0;
    for (const std::string& row : TextDisplay::rows(m_text)) {
        painter.drawText(QRect(0, y, kTextWidth, kCharHeight), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromLatin1(row.data(), static_cast<qsizetype>(row.size())));
        y += kCharHeight;
    }
}

void CIHAQView::mousePressEvent(QMouseEvent*)
{
    setLevel(1.0);
}

} // namespace zeb::remote_display

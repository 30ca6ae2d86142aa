#include "trace/document/CIHDBPropertyColor.h"

#include "app/framework/DialogRunner.h"
#include "trace/document/TraceFont.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QPushButton>

namespace zeb::trace {

CIHDBPropertyColor::CIHDBPropertyColor(const TraceDisplaySettings& display, QWidget* parent)
    : QWidget(parent)
    , m_display(display)
    , m_font(new QPushButton)
{
    auto* layout = new QFormLayout(this);
    for (std::size_t i = 0; i < kLevelCount; ++i) {
        m_swatches[i] = new QPushButton;
        m_swatches[i]->setMinimumWidth(80);
        QObject::connect(m_swatches[i], &QPushButton::clicked, this, [this, i] { chooseColour(i); });
        layout->addRow(QString::fromLatin1(kLevelNames[i].data(), static_cast<qsizetype>(kLevelNames[i].size())),
                       m_swatches[i]);
        showSwatch(i);
    }
    m_font->setText(QString::fromStdString(m_display.font.face));
    QObject::connect(m_font, &QPushButton::clicked, this, [this] { chooseFont(); });
    layout->addRow(tr("Font"), m_font);
}

void CIHDBPropertyColor::showSwatch(std::size_t index)
{
    const QColor colour = colourOf(m_display.colours[index]);
    m_swatches[index]->setStyleSheet(QStringLiteral("background-color: %1").arg(colour.name()));
}

void CIHDBPropertyColor::chooseColour(std::size_t index)
{
    if (index >= kLevelCount)
        return;
    QColorDialog chooser(colourOf(m_display.colours[index]), this);
    if (framework::DialogRunner::run(chooser) != QDialog::Accepted || !chooser.currentColor().isValid())
        return;
    m_display.colours[index] = colourValue(chooser.currentColor());
    showSwatch(index);
}

void CIHDBPropertyColor::chooseFont()
{
    QFontDialog chooser(fontOf(m_display.font), this);
    if (framework::DialogRunner::run(chooser) != QDialog::Accepted)
        return;
    m_display.font = describe(chooser.currentFont(), m_display.font);
    m_font->setText(QString::fromStdString(m_display.font.face));
}

} // namespace zeb::trace

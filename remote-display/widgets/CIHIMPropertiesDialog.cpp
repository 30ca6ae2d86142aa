#include "remote-display/widgets/CIHIMPropertiesDialog.h"

#include "app/framework/DialogRunner.h"
#include "remote-display/widgets/QtDisplayPainter.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

namespace zeb::remote_display {

namespace {

QSpinBox* numberBox(int value, int low, int high)
{
    auto* box = new QSpinBox;
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

} // namespace

CIHIMPropertiesDialog::CIHIMPropertiesDialog(const PanelSettings& settings, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_pressedSound(new QCheckBox(tr("Beep when a key is pressed")))
    , m_releasedSound(new QCheckBox(tr("Beep when a key is released")))
    , m_autoConnect(new QCheckBox(tr("Connect automatically")))
    , m_pressedFrequency(
          numberBox(settings.pressed.frequency, PanelSettings::kMinFrequency, PanelSettings::kMaxFrequency))
    , m_pressedDuration(numberBox(settings.pressed.duration, PanelSettings::kMinDuration, PanelSettings::kMaxDuration))
    , m_releasedFrequency(
          numberBox(settings.released.frequency, PanelSettings::kMinFrequency, PanelSettings::kMaxFrequency))
    , m_releasedDuration(
          numberBox(settings.released.duration, PanelSettings::kMinDuration, PanelSettings::kMaxDuration))
    , m_colorButton(new QPushButton(tr("Colour...")))
{
    setWindowTitle(tr("Properties"));
    m_pressedSound->setChecked(settings.pressed.on);
    m_releasedSound->setChecked(settings.released.on);
    m_autoConnect->setChecked(settings.autoConnect);
    auto* form = new QFormLayout(this);
    form->addRow(m_pressedSound);
    form->addRow(tr("Frequency (Hz)"), m_pressedFrequency);
    form->addRow(tr("Duration (ms)"), m_pressedDuration);
    form->addRow(m_releasedSound);
    form->addRow(tr("Frequency (Hz)"), m_releasedFrequency);
    form->addRow(tr("Duration (ms)"), m_releasedDuration);
    form->addRow(m_autoConnect);
    form->addRow(tr("Display colour"), m_colorButton);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_colorButton, &QPushButton::clicked, this, &CIHIMPropertiesDialog::chooseColor);
    setColor(settings.color);
}

PanelSettings CIHIMPropertiesDialog::settings() const
{
    PanelSettings out = m_settings;
    out.pressed = {m_pressedSound->isChecked(), m_pressedFrequency->value(), m_pressedDuration->value()};
    out.released = {m_releasedSound->isChecked(), m_releasedFrequency->value(), m_releasedDuration->value()};
    out.autoConnect = m_autoConnect->isChecked();
    return out;
}

void CIHIMPropertiesDialog::setColor(std::uint32_t color)
{
    m_settings.color = color & 0xFFFFFF;
    m_colorButton->setStyleSheet(
        QStringLiteral("background-color: %1").arg(QtDisplayPainter::color(m_settings.color).name()));
}

void CIHIMPropertiesDialog::chooseColor()
{
    QColorDialog dialog(QtDisplayPainter::color(m_settings.color), this);
    if (framework::DialogRunner::run(dialog) != QDialog::Accepted)
        return;
    const QColor chosen = dialog.selectedColor();
    setColor(static_cast<std::uint32_t>(chosen.red() | chosen.green() << 8 | chosen.blue() << 16));
}

} // namespace zeb::remote_display

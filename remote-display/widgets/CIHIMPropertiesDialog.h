#pragma once

#include "remote-display/core/PanelSettings.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace zeb::remote_display {

// The panel's properties: key sounds (on, frequency 30-30000 Hz, duration 1-500 ms, for press
// and release), auto-connect and the display colour, chosen with the colour dialog.
class CIHIMPropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CIHIMPropertiesDialog(const PanelSettings& settings, QWidget* parent = nullptr);

    // The settings as edited.
    PanelSettings settings() const;
    void setColor(std::uint32_t color);
    QPushButton* colorButton() const { return m_colorButton; }

private:
    void chooseColor();

    PanelSettings m_settings;
    QCheckBox* m_pressedSound;
    QCheckBox* m_releasedSound;
    QCheckBox* m_autoConnect;
    QSpinBox* m_pressedFrequency;
    QSpinBox* m_pressedDuration;
    QSpinBox* m_releasedFrequency;
    QSpinBox* m_releasedDuration;
    QPushButton* m_colorButton;
};

} // namespace zeb::remote_display

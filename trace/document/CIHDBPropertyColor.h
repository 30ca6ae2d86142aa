#pragma once

#include "trace/core/TraceDisplaySettings.h"

#include <QWidget>

#include <array>

class QPushButton;

namespace zeb::trace {

// The display page: six swatches for the level colours and a button with the list's font face. Each opens the
// platform's chooser (through the dialog runner) and keeps what was chosen.
class CIHDBPropertyColor : public QWidget
{
    Q_OBJECT

public:
    explicit CIHDBPropertyColor(const TraceDisplaySettings& display, QWidget* parent = nullptr);

    const TraceDisplaySettings& display() const { return m_display; }
    QPushButton& colourButton(std::size_t index) const { return *m_swatches[index]; }
    QPushButton& fontButton() const { return *m_font; }

    void chooseColour(std::size_t index);
    void chooseFont();

private:
    void showSwatch(std::size_t index);

    TraceDisplaySettings m_display;
    std::array<QPushButton*, kLevelCount> m_swatches{};
    QPushButton* m_font;
};

} // namespace zeb::trace

#pragma once

#include <QTimer>
#include <QWidget>

#include <string>

class QSpinBox;

namespace zeb::remote_display {

class CIHAQDocument;

// The small remote view: a two-line text display whose background shows a level (a click lights
// it, and it dims back after 10 s) and a spin control whose steps go to the receiver as the
// requests 19 (up) and 18 (down). Attaching sends "$PKVR,TEST,11,1".
class CIHAQView : public QWidget
{
    Q_OBJECT

public:
    explicit CIHAQView(CIHAQDocument& document, QWidget* parent = nullptr);

    QSpinBox* spin() const { return m_spin; }
    void setText(std::string text);
    void setLevel(double level);
    double level() const { return m_level; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void stepped(int value);

    CIHAQDocument& m_document;
    QSpinBox* m_spin;
    QTimer m_dimming;
    std::string m_text;
    double m_level = 0;
    int m_lastValue = 0;
};

} // namespace zeb::remote_display

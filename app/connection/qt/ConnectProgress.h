#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace zeb::connection {

// The status-bar part that shows a connection being opened or waited for: what is happening, a
// busy bar, and a Cancel button. Not a dialog: the window stays usable meanwhile.
class ConnectProgress : public QWidget
{
    Q_OBJECT

public:
    explicit ConnectProgress(std::function<void()> cancel, QWidget* parent = nullptr);

    // Shows `text` with the busy bar; an empty text hides the part.
    void showText(const QString& text);
    QString text() const;
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QLabel* m_label;
    QPushButton* m_cancel;
};

} // namespace zeb::connection

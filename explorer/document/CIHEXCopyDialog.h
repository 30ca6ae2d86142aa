#pragma once

#include <QDialog>

#include <chrono>
#include <string>

class QLabel;
class QProgressBar;

namespace zeb::explorer {

// The progress of a copy, shown beside the explorer while the copy runs in the background:
// source, destination, a bar and the time left. Cancel asks the copy to stop; the explorer
// closes the dialog when the copy has ended.
class CIHEXCopyDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CIHEXCopyDialog(QWidget* parent = nullptr);

    // A new file begins: the bar goes back to 0 and the clock starts again.
    void startFile(const std::string& source, const std::string& destination);
    void setPercent(unsigned percent);

    int percent() const;
    QString statusText() const;

signals:
    void cancelled();

private:
    QLabel* m_source;
    QLabel* m_destination;
    QLabel* m_status;
    QProgressBar* m_bar;
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
};

} // namespace zeb::explorer

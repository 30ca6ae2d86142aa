#pragma once

#include "app/connection/AutoConnectSequence.h"

#include <QDialog>

#include <memory>

class QLabel;
class QProgressBar;

namespace zeb::stream {
class IOSTStream;
struct StreamAddress;
} // namespace zeb::stream

namespace zeb::connection {

// Shows the baud-rate search on a serial line: the address being tried and the progress. Ends with 1
// when a rate answered, 2 when none did, and with the cancel result (0) when the user gave up; the
// record then holds the rate tried last and the line may stay open at it. Create it on the
// user-interface thread, which must have a dispatcher.
class CUTTEAutoConnectDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kDialog = "IDD_UTTE_AUTO_CONNECT";
    static constexpr unsigned kAddressText = 1089;
    static constexpr unsigned kProgress = 1090;

    CUTTEAutoConnectDialog(stream::StreamAddress& address, stream::IOSTStream& stream, QWidget* parent = nullptr,
                           AutoConnectTiming timing = {});
    ~CUTTEAutoConnectDialog() override;

    QProgressBar* progressBar() const { return m_progress; }
    QLabel* addressLabel() const { return m_address; }
    const AutoConnectSequence& sequence() const { return *m_sequence; }

    // Starts the search, once; showing the dialog does it.
    void start();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_address;
    QProgressBar* m_progress;
    std::unique_ptr<AutoConnectSequence> m_sequence;
    bool m_started = false;
};

} // namespace zeb::connection

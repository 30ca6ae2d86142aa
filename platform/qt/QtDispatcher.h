#pragma once

#include "platform/Dispatcher.h"

#include <QObject>
#include <QTimer>

#include <atomic>

namespace zeb::platform {

// Runs a thread's message targets on Qt's event loop: the application's user-interface
// thread, or any QThread with an event loop. A wake-up is one high-priority event; a single
// precise timer covers the nearest target timer.
class QtDispatcher final : public QObject, public Dispatcher
{
public:
    explicit QtDispatcher(QObject* parent = nullptr);
    ~QtDispatcher() override;

protected:
    bool event(QEvent* event) override;
    void wake() override;

private:
    void processAndRearm();

    QTimer m_timer;
    std::atomic<bool> m_wakePending{false};
};

} // namespace zeb::platform

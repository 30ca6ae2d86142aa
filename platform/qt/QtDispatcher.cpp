#include "platform/qt/QtDispatcher.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

namespace zeb::platform {

namespace {

const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

QtDispatcher::QtDispatcher(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { processAndRearm(); });
}

QtDispatcher::~QtDispatcher()
{
    shutdown();
}

void QtDispatcher::wake()
{
    if (!m_wakePending.exchange(true))
        QCoreApplication::postEvent(this, new QEvent(kWakeEvent), Qt::HighEventPriority);
}

bool QtDispatcher::event(QEvent* event)
{
    if (event->type() != kWakeEvent)
        return QObject::event(event);
    // Cleared before processing: whatever arrives meanwhile posts a fresh wake-up.
    m_wakePending = false;
    processAndRearm();
    return true;
}

void QtDispatcher::processAndRearm()
{
    processPending();
    const auto next = nextTimerDeadline();
    if (!next) {
        m_timer.stop();
        return;
    }
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*next - Clock::now());
    m_timer.start(
        static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(wait.count() + 1, 0, 24LL * 3600 * 1000)));
}

} // namespace zeb::platform

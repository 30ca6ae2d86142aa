#pragma once

#include "testsupport/WaitFor.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace zeb::testsupport {

// waitFor for the Qt tests: the application's events are processed while waiting, so that
// queued notifications and timers of the code under test run.
inline ::testing::AssertionResult qtWaitFor(const std::function<bool()>& condition, const std::string& what,
                                            std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    return waitFor(condition, what, limit, [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); });
}

} // namespace zeb::testsupport

#pragma once

#include "platform/WorkerThread.h"

#include <functional>
#include <utility>

namespace zeb::platform::testing {

// A worker whose body is a function of the thread, through which it reaches the checkpoints.
class BodyThread : public WorkerThread
{
public:
    explicit BodyThread(std::function<int(BodyThread&)> body)
        : WorkerThread("body")
        , m_body(std::move(body))
    {
    }
    ~BodyThread() override { terminate(); }
    using WorkerThread::checkpoint;
    using WorkerThread::stopRequested;

protected:
    int run() override { return m_body(*this); }

private:
    std::function<int(BodyThread&)> m_body;
};

} // namespace zeb::platform::testing

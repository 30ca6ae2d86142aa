#pragma once

#include "platform/WorkerThread.h"
#include "stream/StreamHandle.h"

#include <atomic>
#include <functional>
#include <memory>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::explorer {

// One piece of the explorer's remote work (a listing, a copy, a rename) on a thread of its own,
// so that the window never waits for the far side. The stream is pinned while the body runs
// and handed to it, or null when it is gone. Stopping is cooperative: cancel() sets the flag
// the body watches, and release() lets a task that is still running end on its own, without
// anyone waiting for it.
class ExplorerTask final : public platform::WorkerThread
{
public:
    using Body = std::function<void(stream::IOSTStream* via, const std::atomic<bool>& stop)>;

    // Started at once; null when no thread could be made.
    static std::unique_ptr<ExplorerTask> start(const stream::IOSTStream& via, Body body);
    ~ExplorerTask() override;

    void cancel() { m_stop = true; }
    bool cancelled() const { return m_stop.load(); }

    // Cancels the task and frees it once its body has returned; the caller is done with it.
    static void release(std::unique_ptr<ExplorerTask> task);

protected:
    int run() override;
    void interrupt() override { m_stop = true; }

private:
    ExplorerTask(const stream::IOSTStream& via, Body body);

    stream::StreamHandle m_via;
    Body m_body;
    std::atomic<bool> m_stop{false};
};

} // namespace zeb::explorer

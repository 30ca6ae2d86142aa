#include "explorer/core/ExplorerTask.h"

#include "stream/IOSTStream.h"

namespace zeb::explorer {

ExplorerTask::ExplorerTask(const stream::IOSTStream& via, Body body)
    : WorkerThread("explorer task")
    , m_via(via)
    , m_body(std::move(body))
{
}

ExplorerTask::~ExplorerTask()
{
    terminate();
}

std::unique_ptr<ExplorerTask> ExplorerTask::start(const stream::IOSTStream& via, Body body)
{
    std::unique_ptr<ExplorerTask> task(new ExplorerTask(via, std::move(body)));
    if (task->WorkerThread::start() != kStatusOk)
        return nullptr;
    return task;
}

int ExplorerTask::run()
{
    const stream::StreamHandle::Pin via = m_via.pin();
    m_body(via ? &*via : nullptr, m_stop);
    return kStatusOk;
}

void ExplorerTask::release(std::unique_ptr<ExplorerTask> task)
{
    if (!task)
        return;
    task->cancel();
    ExplorerTask* running = task.get();
    if (running->handOff([running] { delete running; }))
        task.release();
}

} // namespace zeb::explorer

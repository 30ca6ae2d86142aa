#include "remote-display/core/DisplayReceiver.h"

#include "stream/IOSTStream.h"
#include "stream/StreamRegistry.h"
#include "stream/rpc/RemoteFileRequest.h"
#include "stream/rpc/RemoteRequests.h"

namespace zeb::remote_display {

DisplayReceiver::DisplayReceiver(Hooks hooks)
    : m_hooks(std::move(hooks))
{
}

DisplayReceiver::~DisplayReceiver()
{
    attach(nullptr);
}

void DisplayReceiver::attach(stream::IOSTStream* stream)
{
    if (m_stream) {
        stream::rpc::RemoteRequests::unregisterRequestWindow(*m_stream, handle());
        m_stream->unsubscribeWindow(handle());
    }
    m_stream = stream;
    if (m_stream)
        stream::rpc::RemoteRequests::registerRequestWindow(*m_stream, handle());
}

platform::LResult DisplayReceiver::onMessage(platform::MessageId message, platform::WParam, platform::LParam lParam)
{
    const auto& ids = stream::StreamRegistry::messages();
    if (message == ids.rpcRequest) {
        const auto* request = reinterpret_cast<const stream::rpc::RemoteFileRequest*>(lParam);
        if (request && m_list.take(request->payload()) == DisplayList::Outcome::Completed && m_hooks.completed)
            m_hooks.completed();
        return 0;
    }
    if (message == ids.open && m_hooks.opened)
        m_hooks.opened();
    else if (message == ids.close && m_hooks.closed)
        m_hooks.closed();
    return 0;
}

} // namespace zeb::remote_display

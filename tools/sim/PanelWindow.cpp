#include "PanelWindow.h"

#include "stream/StreamRegistry.h"
#include "stream/rpc/RemoteFileRequest.h"

namespace zeb::tools::sim {

std::vector<std::string> PanelWindow::due(std::chrono::system_clock::time_point now)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
    if (!m_dirty && seconds == m_drawnSecond)
        return {};
    m_dirty = false;
    m_drawnSecond = seconds;
    return m_model.screen(static_cast<std::uint32_t>(seconds % 86400));
}

platform::LResult PanelWindow::onMessage(platform::MessageId message, platform::WParam, platform::LParam lParam)
{
    const auto& ids = stream::StreamRegistry::messages();
    if (message != ids.rpcRequest)
        return 0;
    const auto* request = reinterpret_cast<const stream::rpc::RemoteFileRequest*>(lParam);
    if (!request)
        return 0;
    const auto payload = request->payload();
    if (m_model.take(std::string(reinterpret_cast<const char*>(payload.data()), payload.size())))
        m_dirty = true;
    return 0;
}

} // namespace zeb::tools::sim

#pragma once

#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamRegistry.h"
#include "testsupport/LinkEnd.h"

#include <memory>
#include <string>

namespace zeb::testsupport {

// Two open streams, "/dev/client/near/1" and "/dev/client/far/1", linked to each other. The
// client transport type is borrowed for their creation and given back at once.
class LinkedStreams
{
public:
    LinkedStreams()
    {
        stream::StreamRegistry& registry = stream::StreamRegistry::instance();
        const stream::TransportFactory saved = registry.transportFactory(stream::stream_type::Client);
        auto link = m_link;
        registry.setTransportFactory(stream::stream_type::Client,
                                     {[link] { return std::make_unique<LinkEnd>(link, link->made++ % 2); }, false});
        near.open(addressOf("near"));
        far.open(addressOf("far"));
        registry.setTransportFactory(stream::stream_type::Client, saved);
    }

    static stream::StreamAddress addressOf(const std::string& host)
    {
        stream::StreamAddress address;
        address.type = stream::stream_type::Client;
        address.client.host = host;
        address.client.port = 1;
        return address;
    }

    Link& link() { return *m_link; }

    stream::IOSTStream near{stream::IOSTStream::kAnonymous};
    stream::IOSTStream far{stream::IOSTStream::kAnonymous};

private:
    std::shared_ptr<Link> m_link = std::make_shared<Link>();
};

} // namespace zeb::testsupport

#include "stream/StreamRegistry.h"

#include "platform/MessageRegistry.h"
#include "platform/ServingWait.h"
#include "stream/FileDevice.h"
#include "stream/IOSTStream.h"
#include "stream/MemoryDevice.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace zeb::stream {

namespace {

constexpr std::chrono::seconds kPinWaitLimit{10};

StreamMessages registerMessages()
{
    using platform::MessageRegistry;
    StreamMessages ids;
    ids.command = MessageRegistry::registerMessage("ON_STREAM_COMMAND");
    ids.open = MessageRegistry::registerMessage("ON_STREAM_OPEN");
    ids.close = MessageRegistry::registerMessage("ON_STREAM_CLOSE");
    ids.receive = MessageRegistry::registerMessage("ON_STREAM_RECEIVE");
    ids.sent = MessageRegistry::registerMessage("ON_STREAM_SENT");
    ids.send = MessageRegistry::registerMessage("ON_STREAM_SEND");
    ids.connect = MessageRegistry::registerMessage("ON_STREAM_CONNECT");
    ids.disconnect = MessageRegistry::registerMessage("ON_STREAM_DISCONNECT");
    ids.httpRequest = MessageRegistry::registerMessage("ON_HTTP_REQUEST");
    ids.rpcRequest = MessageRegistry::registerMessage("ON_RPC_REQUEST");
    ids.trigger = MessageRegistry::registerMessage("ON_TRIGGER");
    ids.breaker = MessageRegistry::registerMessage("ON_BREAKER");
    ids.timer = MessageRegistry::registerMessage("ON_TIMER");
    ids.reset = MessageRegistry::registerMessage("ON_RESET");
    ids.thread = MessageRegistry::registerMessage("ON_THREAD");
    return ids;
}

bool hasSlot(int identifier)
{
    return identifier >= 0 && identifier < StreamRegistry::kSlotCount;
}

} // namespace

StreamRegistry& StreamRegistry::instance()
{
    // Never destroyed: streams made by static objects may outlive any ordering of statics.
    static auto* registry = new StreamRegistry;
    return *registry;
}

const StreamMessages& StreamRegistry::messages()
{
    static const StreamMessages ids = registerMessages();
    return ids;
}

StreamRegistry::StreamRegistry()
{
    messages();
    m_transports[stream_type::File] = {[] { return std::make_unique<FileDevice>(); }, false};
    m_transports[stream_type::Buffer] = {[] { return std::make_unique<MemoryDevice>(); }, false};
}

IOSTStream* StreamRegistry::byIdentifier(int identifier) const
{
    if (!hasSlot(identifier))
        return nullptr;
    const std::lock_guard lock(m_mutex);
    return m_slots[static_cast<std::size_t>(identifier)];
}

IOSTStream* StreamRegistry::byName(std::string_view name) const
{
    const std::lock_guard lock(m_mutex);
    for (IOSTStream* stream : m_list) {
        if (stream->name() == name)
            return stream;
    }
    return nullptr;
}

IOSTStream* StreamRegistry::byAddress(std::string_view address) const
{
    const std::lock_guard lock(m_mutex);
    for (IOSTStream* stream : m_list) {
        if (stream->address() == address)
            return stream;
    }
    return nullptr;
}

std::vector<IOSTStream*> StreamRegistry::streams() const
{
    const std::lock_guard lock(m_mutex);
    return m_list;
}

void StreamRegistry::setTransportFactory(StreamType type, TransportFactory factory)
{
    const std::lock_guard lock(m_mutex);
    if (factory.create)
        m_transports[type] = std::move(factory);
    else
        m_transports.erase(type);
}

TransportFactory StreamRegistry::transportFactory(StreamType type) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_transports.find(type);
    return found == m_transports.end() ? TransportFactory{} : found->second;
}

void StreamRegistry::add(IOSTStream& stream)
{
    const std::lock_guard lock(m_mutex);
    m_list.insert(m_list.begin(), &stream);
    if (hasSlot(stream.identifier()))
        m_slots[static_cast<std::size_t>(stream.identifier())] = &stream;
}

void StreamRegistry::remove(IOSTStream& stream)
{
    const std::lock_guard lock(m_mutex);
    std::erase(m_list, &stream);
    if (!hasSlot(stream.identifier()))
        return;
    auto& slot = m_slots[static_cast<std::size_t>(stream.identifier())];
    if (slot != &stream)
        return; // a newer stream with the same identifier holds the slot
    // Give the slot back to the newest remaining stream with that identifier, if any.
    const auto older = std::find_if(m_list.begin(), m_list.end(), [&](const IOSTStream* other) {
        return other->identifier() == stream.identifier();
    });
    slot = older == m_list.end() ? nullptr : *older;
}

IOSTStream* StreamRegistry::pinFirst(const std::function<bool(const IOSTStream&)>& match)
{
    const std::lock_guard lock(m_mutex);
    const auto found
        = std::find_if(m_list.begin(), m_list.end(), [&](const IOSTStream* stream) { return match(*stream); });
    if (found == m_list.end())
        return nullptr;
    ++m_pins[*found];
    return *found;
}

IOSTStream* StreamRegistry::pin(std::uint64_t serial)
{
    return pinFirst([serial](const IOSTStream& stream) { return stream.serial() == serial; });
}

IOSTStream* StreamRegistry::pinByAddress(std::string_view address)
{
    return pinFirst([address](const IOSTStream& stream) { return stream.address() == address; });
}

void StreamRegistry::unpin(IOSTStream& stream)
{
    {
        const std::lock_guard lock(m_mutex);
        if (const auto found = m_pins.find(&stream); found != m_pins.end() && --found->second <= 0)
            m_pins.erase(found);
    }
    platform::ServingWait::wakeAll();
}

void StreamRegistry::waitUnpinned(IOSTStream& stream)
{
    const auto unpinned = [&] {
        const std::lock_guard lock(m_mutex);
        return m_pins.count(&stream) == 0;
    };
    // Pins are held for one remote operation, which the stream's close has just ended.
    if (!platform::ServingWait::until(unpinned, kPinWaitLimit))
        std::fprintf(stderr, "ZEB500: a stream in use was destroyed\n");
}

void StreamRegistry::setAddress(IOSTStream& stream, std::string_view text)
{
    const std::lock_guard lock(m_mutex);
    stream.m_address.assign(text);
}

} // namespace zeb::stream

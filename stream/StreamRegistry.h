#pragma once

#include "platform/Types.h"
#include "stream/StreamAddress.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::stream {

class IOSTStream;
class StreamDevice;

// The registered window messages by which streams and their producers reach windows.
struct StreamMessages
{
    platform::MessageId command = 0; // "ON_STREAM_COMMAND"
    platform::MessageId open = 0; // "ON_STREAM_OPEN"
    platform::MessageId close = 0; // "ON_STREAM_CLOSE"
    platform::MessageId receive = 0; // "ON_STREAM_RECEIVE"
    platform::MessageId sent = 0; // "ON_STREAM_SENT"
    platform::MessageId send = 0; // "ON_STREAM_SEND"
    platform::MessageId connect = 0; // "ON_STREAM_CONNECT"
    platform::MessageId disconnect = 0; // "ON_STREAM_DISCONNECT"
    platform::MessageId httpRequest = 0; // "ON_HTTP_REQUEST"
    platform::MessageId rpcRequest = 0; // "ON_RPC_REQUEST"
    platform::MessageId trigger = 0; // "ON_TRIGGER"
    platform::MessageId breaker = 0; // "ON_BREAKER"
    platform::MessageId timer = 0; // "ON_TIMER"
    platform::MessageId reset = 0; // "ON_RESET"
    platform::MessageId thread = 0; // "ON_THREAD"
};

// How streams of one StreamType get their transport: a new, unopened device, and whether
// binary frames written to such a stream are escaped (serial lines only).
struct TransportFactory
{
    std::function<std::unique_ptr<StreamDevice>()> create;
    bool escapeOnWrite = false;
};

// The process-wide table of streams: 256 slots by identifier and the list of every stream,
// newest first; and the transports each StreamType opens. Created on first use, never
// destroyed. Safe to use from any thread; a stream found here lives as long as its owner
// keeps it.
class StreamRegistry
{
public:
    static constexpr int kSlotCount = 256;

    static StreamRegistry& instance();
    // Registered once, on first use.
    static const StreamMessages& messages();

    // None for identifiers outside 0-255.
    IOSTStream* byIdentifier(int identifier) const;
    // The first stream of the list (the newest) with that name ("#%u") or address text.
    IOSTStream* byName(std::string_view name) const;
    IOSTStream* byAddress(std::string_view address) const;
    std::vector<IOSTStream*> streams() const;

    // File (4) and memory block (6) are there from the start; serial and socket transports
    // add themselves. An empty factory removes the type.
    void setTransportFactory(StreamType type, TransportFactory factory);
    // The factory of a type, or one whose `create` is empty.
    TransportFactory transportFactory(StreamType type) const;

private:
    friend class IOSTStream;
    friend class StreamHandle;

    StreamRegistry();
    void add(IOSTStream& stream);
    void remove(IOSTStream& stream);
    // Pins for StreamHandle: the stream with that serial, still in the list, or none.
    IOSTStream* pin(std::uint64_t serial);
    IOSTStream* pinByAddress(std::string_view address);
    void unpin(IOSTStream& stream);
    // After remove(): waits, serving sends, until no pin holds the stream (bounded).
    void waitUnpinned(IOSTStream& stream);
    // Address texts change under the lock so that lookups by address see whole texts.
    void setAddress(IOSTStream& stream, std::string_view text);
    IOSTStream* pinFirst(const std::function<bool(const IOSTStream&)>& match);

    mutable std::mutex m_mutex;
    std::array<IOSTStream*, kSlotCount> m_slots{};
    std::vector<IOSTStream*> m_list;
    std::map<StreamType, TransportFactory> m_transports;
    std::map<const IOSTStream*, int> m_pins;
};

} // namespace zeb::stream

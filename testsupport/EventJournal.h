#pragma once

#include "messages/MessageKind.h"
#include "messages/MessageType.h"
#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zeb::testsupport {

// A callback subscriber that keeps everything a stream tells it, with the bytes of each
// received or sent message copied while they live. Safe to read while receive threads notify.
class EventJournal
{
public:
    struct Entry
    {
        stream::StreamEventCode code{};
        stream::IOSTStream* stream = nullptr;
        std::intptr_t argument = 0;
        messages::MessageKind kind = messages::MessageKind::Unknown;
        messages::MessageType type = messages::message_type::Other;
        std::string bytes;
        std::thread::id thread;
    };
    using Hook = std::function<void(const Entry&)>;

    static void callback(void* context, stream::IOSTStream* stream, stream::StreamEventCode code,
                         std::intptr_t argument);
    void subscribeTo(stream::IOSTStream& stream) { stream.subscribeCallback(&EventJournal::callback, this); }
    // Called on the notifying thread after each entry is kept; set it before subscribing.
    void onEntry(Hook hook) { m_hook = std::move(hook); }

    std::vector<Entry> of(stream::StreamEventCode code) const;
    std::size_t count(stream::StreamEventCode code) const { return of(code).size(); }
    std::vector<stream::StreamEventCode> codes() const;
    // The bytes of every received message, in order.
    std::string received() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;
    Hook m_hook;
};

} // namespace zeb::testsupport

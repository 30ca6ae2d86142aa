#include "testsupport/EventJournal.h"

#include "stream/StreamEvent.h"

#include <algorithm>
#include <iterator>

namespace zeb::testsupport {

using stream::StreamEventCode;

void EventJournal::callback(void* context, stream::IOSTStream* stream, StreamEventCode code, std::intptr_t argument)
{
    auto& self = *static_cast<EventJournal*>(context);
    Entry entry;
    entry.code = code;
    entry.stream = stream;
    entry.argument = argument;
    entry.thread = std::this_thread::get_id();
    if (code == StreamEventCode::Receive || code == StreamEventCode::Send) {
        const stream::StreamEvent& event = stream::eventArgument(argument);
        entry.kind = event.kind;
        entry.type = event.type;
        entry.bytes = std::string(event.text());
    }
    {
        const std::lock_guard lock(self.m_mutex);
        self.m_entries.push_back(entry);
    }
    if (self.m_hook)
        self.m_hook(entry);
}

std::vector<EventJournal::Entry> EventJournal::of(StreamEventCode code) const
{
    const std::lock_guard lock(m_mutex);
    std::vector<Entry> found;
    std::copy_if(m_entries.begin(), m_entries.end(), std::back_inserter(found),
                 [&](const Entry& entry) { return entry.code == code; });
    return found;
}

std::vector<StreamEventCode> EventJournal::codes() const
{
    const std::lock_guard lock(m_mutex);
    std::vector<StreamEventCode> all;
    for (const auto& entry : m_entries)
        all.push_back(entry.code);
    return all;
}

std::string EventJournal::received() const
{
    std::string all;
    for (const auto& entry : of(StreamEventCode::Receive))
        all += entry.bytes;
    return all;
}

void EventJournal::clear()
{
    const std::lock_guard lock(m_mutex);
    m_entries.clear();
}

} // namespace zeb::testsupport

#include "messages/codecs/CodecRegistry.h"

#include <algorithm>

namespace zeb::codecs {

CodecRegistry& CodecRegistry::instance()
{
    static CodecRegistry registry;
    return registry;
}

MessageCodec* CodecRegistry::find(messages::MessageKind kind, messages::MessageType type) const
{
    const std::lock_guard lock(m_mutex);
    for (auto it = m_codecs.rbegin(); it != m_codecs.rend(); ++it) {
        if ((*it)->handles({kind, type})) {
            return *it;
        }
    }
    return nullptr;
}

CodecRegistry::Lease CodecRegistry::lease(messages::MessageKind kind, messages::MessageType type) const
{
    Lease lease;
    {
        const std::lock_guard lock(m_mutex);
        for (auto it = m_codecs.rbegin(); it != m_codecs.rend(); ++it) {
            if ((*it)->published() && (*it)->handles({kind, type})) {
                lease.m_codec = *it;
                break;
            }
        }
    }
    // Taken outside the registry's lock: a thread holding a lease may look up another codec.
    if (lease.m_codec) {
        lease.m_turn = std::unique_lock(lease.m_codec->m_turn);
    }
    return lease;
}

void CodecRegistry::publish(MessageCodec& codec)
{
    const std::lock_guard lock(m_mutex);
    codec.m_published = true;
}

std::size_t CodecRegistry::size() const
{
    const std::lock_guard lock(m_mutex);
    return m_codecs.size();
}

void CodecRegistry::add(MessageCodec* codec)
{
    const std::lock_guard lock(m_mutex);
    m_codecs.push_back(codec);
}

void CodecRegistry::remove(MessageCodec* codec)
{
    const std::lock_guard lock(m_mutex);
    m_codecs.erase(std::remove(m_codecs.begin(), m_codecs.end(), codec), m_codecs.end());
}

} // namespace zeb::codecs

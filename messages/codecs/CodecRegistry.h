#pragma once

#include "messages/codecs/MessageCodec.h"

#include <mutex>
#include <vector>

namespace zeb::codecs {

// The process-wide list of codecs, the most recently constructed first. Codecs add and remove themselves; the
// registry owns none of them.
class CodecRegistry
{
public:
    static CodecRegistry& instance();

    // The first codec that lists (kind, type), or nullptr.
    MessageCodec* find(messages::MessageKind kind, messages::MessageType type) const;
    std::size_t size() const;

    void add(MessageCodec* codec);
    void remove(MessageCodec* codec);

private:
    CodecRegistry() = default;

    mutable std::mutex m_mutex;
    std::vector<MessageCodec*> m_codecs; // newest last; searched from the back
};

} // namespace zeb::codecs

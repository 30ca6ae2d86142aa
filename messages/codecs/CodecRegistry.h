#pragma once

#include "messages/codecs/MessageCodec.h"

#include <mutex>
#include <vector>

namespace zeb::codecs {

// The process-wide list of codecs, the most recently constructed first. Codecs add and remove themselves; the
// registry owns none of them.
//
// A codec keeps the message it decoded until the next decode, so threads that share one take turns: lease() hands
// it out for the time of one decode and render, and only once it was published, that is, after its construction
// (a codec registers itself in its base constructor, before the rest of it exists).
class CodecRegistry
{
public:
    // One thread's turn at a codec; the codec is locked while the lease lives.
    class Lease
    {
    public:
        Lease() = default;
        explicit operator bool() const { return m_codec != nullptr; }
        MessageCodec* operator->() const { return m_codec; }
        MessageCodec& operator*() const { return *m_codec; }

    private:
        friend class CodecRegistry;
        MessageCodec* m_codec = nullptr;
        std::unique_lock<std::mutex> m_turn;
    };

    static CodecRegistry& instance();

    // The first codec that lists (kind, type), or nullptr. For a codec only this thread uses.
    MessageCodec* find(messages::MessageKind kind, messages::MessageType type) const;
    // The first published codec that lists (kind, type), locked for the caller; empty when there is none. Published
    // codecs live as long as the process.
    Lease lease(messages::MessageKind kind, messages::MessageType type) const;
    // Makes a fully constructed codec available to lease().
    void publish(MessageCodec& codec);
    std::size_t size() const;

    void add(MessageCodec* codec);
    void remove(MessageCodec* codec);

private:
    CodecRegistry() = default;

    mutable std::mutex m_mutex;
    std::vector<MessageCodec*> m_codecs; // newest last; searched from the back
};

} // namespace zeb::codecs

#include "platform/SendChain.h"

namespace zeb::platform {

namespace {

thread_local const SendChain::Link* t_chain = nullptr;

// Chains are short (one link per nested handler); the bound only guards against a cycle that
// a broken dispatcher could build.
constexpr int kMaxVisits = 256;

bool reaches(const SendChain::Link* link, std::thread::id thread, int& visits)
{
    for (; link && visits < kMaxVisits; link = link->outer) {
        ++visits;
        if (link->sender == thread || reaches(link->senderChain, thread, visits))
            return true;
    }
    return false;
}

} // namespace

const SendChain::Link* SendChain::current()
{
    return t_chain;
}

bool SendChain::waitsOnCaller(std::thread::id thread)
{
    if (thread == std::thread::id{})
        return false;
    int visits = 0;
    return reaches(t_chain, thread, visits);
}

bool SendChain::cannotJoin(std::thread::id thread)
{
    return thread == std::this_thread::get_id() || waitsOnCaller(thread);
}

SendChain::Serving::Serving(std::thread::id sender, const Link* senderChain)
    : m_link{sender, senderChain, t_chain}
{
    t_chain = &m_link;
}

SendChain::Serving::~Serving()
{
    t_chain = m_link.outer;
}

} // namespace zeb::platform

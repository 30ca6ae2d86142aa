// The one lock of a machine's script world: heap, globals, method tables and lookup caches are
// touched only while it is held. A running script thread holds it and lets it go at every
// blocking point (see BlockingSection); threads that enter from outside (alarms, stream
// callbacks) take it before they send.
#pragma once

#include <mutex>

namespace zeb::script::vm {

class ScriptLock
{
public:
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }

private:
    std::mutex m_mutex;
};

} // namespace zeb::script::vm

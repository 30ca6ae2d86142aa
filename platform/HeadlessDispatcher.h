#pragma once

#include "platform/Dispatcher.h"

#include <atomic>
#include <chrono>
#include <functional>

namespace zeb::platform {

class ThreadWaiter;

// A message loop without any user interface: the tools, the simulator and the core tests
// run their targets' threads on it.
class HeadlessDispatcher final : public Dispatcher
{
public:
    HeadlessDispatcher();
    ~HeadlessDispatcher() override;

    // Runs the loop until quit() is called.
    void run();
    // Runs the loop until `condition` holds (checked after every pass) or the time passes;
    // returns the condition's last value.
    bool runUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
    // Ends run(); callable from any thread, also before run() starts.
    void quit();

protected:
    void wake() override;

private:
    ThreadWaiter& m_waiter;
    std::atomic<bool> m_quit{false};
};

} // namespace zeb::platform

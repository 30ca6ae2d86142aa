#pragma once

#include <chrono>
#include <functional>

namespace zeb::platform {

// Every blocking wait on a thread that owns message targets goes through here: while the
// thread waits, it keeps serving the synchronous sends addressed to its targets. A thread
// that joins a worker which is itself blocked in a send to that thread therefore finishes.
class ServingWait
{
public:
    // Waits until `condition` holds or `timeout` passes; returns the last value of the
    // condition. The condition is checked after every wake-up and at least every few
    // milliseconds; code that makes it true may call wakeAll() to be noticed at once.
    static bool until(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

    // Sleeps for the given time, serving sends.
    static void sleep(std::chrono::milliseconds duration);

    // Makes every thread in a serving wait check its condition now.
    static void wakeAll();
};

} // namespace zeb::platform

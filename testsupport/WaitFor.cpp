#include "testsupport/WaitFor.h"

#include <thread>

namespace zeb::testsupport {

::testing::AssertionResult waitFor(const std::function<bool()>& condition, const std::string& what,
                                   std::chrono::milliseconds limit, const std::function<void()>& between)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return ::testing::AssertionFailure() << "gave up after " << limit.count() << " ms waiting for " << what;
        if (between)
            between();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return ::testing::AssertionSuccess();
}

} // namespace zeb::testsupport

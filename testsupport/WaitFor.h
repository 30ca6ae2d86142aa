#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

namespace zeb::testsupport {

// The one wait of the tests: polls `condition` until it holds or `limit` has passed, running
// `between` after each false poll (a short sleep when empty; the Qt tests process events
// there). On time-out the result says what was awaited and for how long, so
//   ASSERT_TRUE(waitFor([&] { return peer.connected(); }, "the peer's connection"));
// fails with a message instead of hanging.
::testing::AssertionResult waitFor(const std::function<bool()>& condition, const std::string& what,
                                   std::chrono::milliseconds limit = std::chrono::seconds(10),
                                   const std::function<void()>& between = {});

// The short form, where the failing check itself says what was awaited.
inline bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    return static_cast<bool>(waitFor(condition, "a condition", limit));
}

} // namespace zeb::testsupport

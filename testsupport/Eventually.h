#pragma once

#include <chrono>
#include <functional>

namespace zeb::testsupport {

// Checks `condition` every few milliseconds until it holds or `limit` has passed; says whether
// it held, so that a test can fail with what it waited for instead of hanging.
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(5));

} // namespace zeb::testsupport

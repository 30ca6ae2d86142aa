#pragma once

#include <cstdint>

namespace zeb::platform {

// A message target is named by a handle; 0 names nothing. Handles are never reused, so a
// handle kept after its target is gone can never reach another target.
using Handle = std::uint64_t;
constexpr Handle kNoHandle = 0;

// Registered message identifiers, obtained by name from MessageRegistry.
using MessageId = std::uint32_t;

// The two message arguments and the answer of a synchronous send. Both arguments are wide
// enough to carry a pointer.
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// Timer identifiers are chosen by the target that starts the timer.
using TimerId = std::uintptr_t;

} // namespace zeb::platform

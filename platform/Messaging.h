#pragma once

#include "platform/Types.h"

#include <chrono>

namespace zeb::platform {

// Synchronous send. The handler runs on the target's own thread and the caller continues only
// after it has returned; its answer is returned. A target on the caller's thread is called
// directly. While it waits, the caller keeps serving the synchronous sends addressed to its
// own targets, so two threads that send to each other never deadlock. A handle whose target
// is gone, or whose thread has stopped its loop, answers 0 and nothing runs.
LResult send(Handle target, MessageId message, WParam wParam = 0, LParam lParam = 0);

// Asynchronous: queued for the target's thread, delivered by its loop. False when the target
// is gone.
bool post(Handle target, MessageId message, WParam wParam = 0, LParam lParam = 0);

// Timers are delivered to MessageTarget::onTimer on the target's thread. Starting a timer
// that is already running restarts it with the new period.
bool startTimer(Handle target, TimerId id, std::chrono::milliseconds period);
bool stopTimer(Handle target, TimerId id);

// Whether the handle names a live target.
bool isAlive(Handle target);

} // namespace zeb::platform

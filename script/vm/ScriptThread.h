// A script thread: a send prepared by a thread send, run later on its own system thread.
// Shared by the Thread object that a script holds and by the run that waits for its worker, so
// that deleting either never pulls the state from under the other.
#pragma once

#include "script/vm/Interpreter.h"
#include "script/vm/Method.h"

#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace zeb::script::vm {

class OutputSink;
class Run;

struct ScriptThread
{
    enum class State : std::uint8_t { Ready, Running, Ended };

    // Touched only with the script lock held.
    Run* run = nullptr; // nullptr: made outside a run, never starts
    OutputSink* output = nullptr; // where its prints go: the output of the thread that prepared it
    Value receiver;
    bool hasMethod = false;
    MethodEntry entry;
    std::vector<Value> arguments; // the first argument first
    bool subscribed = false; // the window is told when the thread has ended
    std::int64_t window = 0;
    Handle self; // the Thread object, for that notification
    std::unique_ptr<Interpreter> interpreter; // while it runs

    // Guarded by the mutex of the run's threads.
    State state = State::Ready;
    bool returned = true; // false while a worker may still touch the run
    std::thread worker;
};

} // namespace zeb::script::vm

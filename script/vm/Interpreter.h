// One script thread: its value stack with the frames of its running methods, and the one
// dispatch loop that executes the instruction set.
#pragma once

#include "script/vm/Machine.h"
#include "script/vm/OutputSink.h"
#include "script/vm/ValueStack.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace zeb::script::vm {

class Run;

class Interpreter
{
public:
    // Why a thread stopped before its first method returned.
    enum class Ending : std::uint8_t { None, StackOverflow, Stopped, TimedOut, OutOfSteps };

    static constexpr std::size_t kMaxDepth = 10000;
    static constexpr std::size_t kStackValues = 1u << 18;
    // Primitives that send (printLine, doesNotUnderstand:) nested inside each other.
    static constexpr std::size_t kMaxNesting = 256;

    // How deep a thread may send, and the value stack that holds its frames.
    struct Size
    {
        std::size_t stackValues;
        std::size_t maxDepth;
    };
    static constexpr Size kMainSize{kStackValues, kMaxDepth};
    // Script threads and alarm deliveries: many may live at once.
    static constexpr Size kThreadSize{std::size_t{1} << 15, 2000};

    Interpreter(Machine& machine, OutputSink& output, Heap::Owner owner, Size size = kMainSize);
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    Machine& machine() { return m_machine; }
    Heap::Owner owner() const { return m_owner; }
    // The run this thread belongs to (nullptr for a bare interpreter in a test).
    Run* run() const { return m_run; }
    void setRun(Run* run) { m_run = run; }
    OutputSink& output() { return m_output; }
    // Nothing more is printed once the thread is ending: primitives that were running when it
    // began to end return without their output. Lets the script lock go while the text goes out.
    void write(std::string_view text);

    // Sends a message and answers its result (nil once the thread is ending).
    Value send(const Value& receiver, Name selector, std::initializer_list<Value> arguments = {});
    // Runs a method found earlier (a thread's prepared send); the first argument first.
    Value call(const Value& receiver, const MethodEntry& entry, const std::vector<Value>& arguments);
    // Makes an object owned by this thread's run.
    Value make(std::unique_ptr<Object> object)
    {
        return Value::object(m_machine.heap().add(std::move(object), m_owner));
    }

    void setDeadline(std::chrono::steady_clock::time_point deadline) { m_deadline = deadline; }
    void setStepBudget(std::uint64_t steps) { m_stepBudget = steps; }
    // The time limit and step budget of the thread that starts another one.
    void inheritLimits(const Interpreter& from)
    {
        m_deadline = from.m_deadline;
        m_stepBudget = from.m_stepBudget;
    }
    // May be called from any thread: the loop notices it within a thousand instructions, and a
    // pause ends at once.
    void requestStop();
    // Waits with the script lock let go, until the time is up, Stop or the time limit; false
    // when the thread is then ending.
    bool pause(std::chrono::milliseconds duration);
    // A thread that runs on behalf of another one's run (a stream event's handler) stops when
    // that one is asked to, and keeps its time limit. The leader must outlive this thread.
    void follow(const Interpreter& leader)
    {
        m_leader = &leader;
        m_deadline = leader.m_deadline;
    }
    Ending ending() const { return m_ending; }
    // Asked to stop (this thread or the one it follows), or past its deadline: a primitive
    // waiting in a blocking section gives up. Safe from any thread.
    bool stopRequested() const { return stopAsked() || pastDeadline(); }
    // Ends the thread now when Stop or the time limit came, as a safepoint would; not once its
    // methods have returned (the run's own end waits for its threads after main).
    void endIfStopped()
    {
        if (m_ending != Ending::None || m_frames.empty())
            return;
        if (stopAsked())
            end(Ending::Stopped);
        else if (pastDeadline())
            end(Ending::TimedOut);
    }
    bool pastDeadline() const { return m_deadline && std::chrono::steady_clock::now() >= *m_deadline; }

private:
    bool stopAsked() const
    {
        return m_stopRequested.load(std::memory_order_relaxed)
            || (m_leader != nullptr && m_leader->m_stopRequested.load(std::memory_order_relaxed));
    }

    struct Frame
    {
        const MethodCode* code;
        std::uint32_t pc;
        Value* arguments; // argument k at arguments[argumentCount - 1 - k]
        std::uint32_t argumentCount;
        Value* locals;
        Value* sp;
        Value self;
        const ClassObject* foundIn;
    };

    // Pushes a send's arguments, the first on top: the new stack top, or nullptr when the
    // thread is ending or has no room left.
    Value* pushArguments(const Value* first, std::size_t count);
    // Runs a method found for receiver whose arguments are the top count stack values above sp.
    Value invoke(const Value& receiver, const MethodEntry& entry, Value* sp, std::uint32_t count);
    bool pushFrame(const Value& receiver, const MethodEntry& entry, Value* sp, std::uint32_t count);
    Value execute(std::size_t base);
    // The method a send finds, the receiver it runs on (self for a super send).
    const MethodEntry* resolve(Value& receiver, Name selector);
    // The same for a send site of a running method, through the site's cache.
    const MethodEntry* resolveAt(const MethodCode& code, std::uint32_t literal, Value& receiver);
    // A variable of the script object, 0 when unset or when self is no object.
    Value scriptVariable(const Value& self, Name name) const;
    Value makeArray(const Value* elements, std::uint32_t count);
    Value notUnderstood(const Value& receiver, Name selector, Value* sp);
    bool safepoint();
    void end(Ending ending);

    Machine& m_machine;
    OutputSink& m_output;
    Heap::Owner m_owner;
    Run* m_run = nullptr;
    ValueStack m_stack;
    Value* m_top; // the first free stack slot outside the dispatch loop
    std::vector<Frame> m_frames;
    std::size_t m_nesting = 0;
    Ending m_ending = Ending::None;
    std::uint64_t m_steps = 0;
    std::uint64_t m_stepBudget = 0;
    std::optional<std::chrono::steady_clock::time_point> m_deadline;
    std::size_t m_maxDepth;
    std::atomic<bool> m_stopRequested{false};
    const Interpreter* m_leader = nullptr;
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
};

} // namespace zeb::script::vm

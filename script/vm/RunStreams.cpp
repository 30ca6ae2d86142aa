#include "script/vm/RunStreams.h"

#include "script/vm/BlockingSection.h"
#include "script/vm/Interpreter.h"
#include "script/vm/Run.h"
#include "script/vm/ScriptStream.h"
#include "script/vm/StreamClass.h"
#include "script/vm/StreamMessageObject.h"
#include "script/vm/StreamObject.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <unordered_map>

namespace zeb::script::vm {

namespace {

// How a stream's callback finds its way into a run: by the token it was subscribed with. An
// entry goes when the Stream object is deleted or its run ends; a callback that finds none
// returns at once. Its mutex is never held across a send.
struct Relay
{
    struct Entry
    {
        std::shared_ptr<ScriptStream> stream;
        RunStreams* run = nullptr;
    };

    std::mutex mutex;
    std::condition_variable deliveryEnded;
    std::unordered_map<void*, Entry> streams;
    std::unordered_map<const Run*, std::shared_ptr<RunStreams>> runs;
};

Relay& relay()
{
    // Never destroyed: receive threads may call in while the process exits.
    static auto* instance = new Relay;
    return *instance;
}

// Lets the script lock go for a while, where no interpreter is at hand (the end of a run).
class Unlocked
{
public:
    explicit Unlocked(ScriptLock& lock)
        : m_lock(lock)
    {
        m_lock.unlock();
    }
    ~Unlocked() { m_lock.lock(); }
    Unlocked(const Unlocked&) = delete;
    Unlocked& operator=(const Unlocked&) = delete;

private:
    ScriptLock& m_lock;
};

Name selectorOf(stream::StreamEventCode code)
{
    static const Name open = SymbolTable::intern("onStreamOpen:");
    static const Name close = SymbolTable::intern("onStreamClose:");
    static const Name receive = SymbolTable::intern("onStream:receive:");
    static const Name send = SymbolTable::intern("onStream:send:");
    switch (code) {
    case stream::StreamEventCode::Open:
        return open;
    case stream::StreamEventCode::Close:
        return close;
    case stream::StreamEventCode::Receive:
        return receive;
    case stream::StreamEventCode::Send:
        return send;
    case stream::StreamEventCode::Sent:
    case stream::StreamEventCode::Connect:
    case stream::StreamEventCode::Disconnect:
        break;
    }
    return nullptr;
}

} // namespace

std::shared_ptr<RunStreams> RunStreams::of(Interpreter& interpreter)
{
    Run* run = interpreter.run();
    if (run == nullptr)
        return nullptr;
    Relay& shared = relay();
    std::shared_ptr<RunStreams> streams;
    {
        const std::lock_guard hold(shared.mutex);
        std::shared_ptr<RunStreams>& slot = shared.runs[run];
        if (slot)
            return slot;
        slot = std::make_shared<RunStreams>(*run);
        streams = slot;
    }
    run->atEnd([streams] { streams->end(); });
    return streams;
}

RunStreams::RunStreams(Run& run)
    : m_run(run)
    , m_machine(run.machine())
    , m_messageClass(streamMessageClass(m_machine))
{
}

RunStreams::~RunStreams() = default;

Value RunStreams::makeObject(Interpreter& interpreter, ClassObject* streamClass,
                             const std::shared_ptr<ScriptStream>& stream)
{
    m_streams.push_back(stream);
    Value object = interpreter.make(std::make_unique<StreamObject>(streamClass, stream));
    stream->setObject(object);
    return object;
}

void RunStreams::subscribe(Interpreter& interpreter, const std::shared_ptr<ScriptStream>& stream,
                           const Value& subscriber)
{
    stream->subscribe(subscriber, interpreter.output());
    if (!stream->claimCallback())
        return;
    {
        const std::lock_guard hold(relay().mutex);
        relay().streams[stream->token()] = {stream, this};
    }
    std::shared_ptr<stream::IOSTStream> owned = stream->owned();
    const BlockingSection section(interpreter);
    const std::shared_ptr<stream::IOSTStream> held = std::move(owned);
    if (held) {
        held->subscribeCallback(&RunStreams::callback, stream->token());
    } else if (const stream::StreamHandle::Pin pin = stream->pin()) {
        (*pin).subscribeCallback(&RunStreams::callback, stream->token());
    }
}

void RunStreams::release(Interpreter& interpreter, const std::shared_ptr<ScriptStream>& stream)
{
    const auto kept = std::find(m_streams.begin(), m_streams.end(), stream);
    if (kept == m_streams.end())
        return; // already released
    m_streams.erase(kept);
    forget(*stream);
    const bool hadCallback = stream->hasCallback();
    std::shared_ptr<stream::IOSTStream> owned = stream->takeOwned();
    const BlockingSection section(interpreter);
    detach(*stream, hadCallback, std::move(owned));
}

void RunStreams::forget(ScriptStream& stream)
{
    stream.dropSubscriptions();
    const std::lock_guard hold(relay().mutex);
    relay().streams.erase(stream.token());
}

void RunStreams::detach(ScriptStream& stream, bool hadCallback, std::shared_ptr<stream::IOSTStream> owned)
{
    if (owned) {
        if (hadCallback)
            owned->unsubscribeCallback(&RunStreams::callback, stream.token());
        owned->close();
        owned.reset(); // destroyed here, or by the last call still using it
        return;
    }
    if (!hadCallback)
        return;
    if (const stream::StreamHandle::Pin pin = stream.pin())
        (*pin).unsubscribeCallback(&RunStreams::callback, stream.token());
}

void RunStreams::callback(void* context, stream::IOSTStream*, stream::StreamEventCode code, std::intptr_t argument)
{
    const Name selector = selectorOf(code);
    if (selector == nullptr)
        return;
    Relay& shared = relay();
    Relay::Entry entry;
    {
        const std::lock_guard hold(shared.mutex);
        const auto found = shared.streams.find(context);
        if (found == shared.streams.end())
            return;
        entry = found->second;
        entry.run->m_delivering.push_back(std::this_thread::get_id());
    }
    // The message's bytes live only while this notification runs: the handler gets a copy.
    std::string message;
    const bool hasMessage = code == stream::StreamEventCode::Receive || code == stream::StreamEventCode::Send;
    if (hasMessage)
        message = stream::eventArgument(argument).text();
    entry.run->deliver(*entry.stream, selector, hasMessage ? &message : nullptr);
    {
        const std::lock_guard hold(shared.mutex);
        auto& delivering = entry.run->m_delivering;
        delivering.erase(std::find(delivering.begin(), delivering.end(), std::this_thread::get_id()));
    }
    shared.deliveryEnded.notify_all();
}

void RunStreams::deliver(ScriptStream& stream, Name selector, const std::string* message)
{
    const std::lock_guard hold(m_machine.scriptLock());
    if (m_ended)
        return;
    const ScriptStream::Subscriptions subscribers = stream.subscribers();
    if (subscribers.empty())
        return;
    for (const std::shared_ptr<ScriptStream::Subscription>& subscription : subscribers) {
        // A handler before this one may have unsubscribed it, or the run may have ended.
        if (!subscription->active || m_ended)
            continue;
        HandlerThread& thread = handlerThread(*subscription->output);
        ++thread.depth;
        send(*thread.interpreter, subscription->subscriber, selector, stream.object(), message);
        --thread.depth;
    }
    stream.noteDelivered();
}

void RunStreams::send(Interpreter& interpreter, const Value& subscriber, Name selector, const Value& stream,
                      const std::string* message)
{
    if (message == nullptr) {
        interpreter.send(subscriber, selector, {stream});
        return;
    }
    // The message lives for this send only.
    const Value made = m_messageClass != nullptr
        ? interpreter.make(std::make_unique<StreamMessageObject>(m_messageClass, *message))
        : Value();
    interpreter.send(subscriber, selector, {stream, made});
    if (made.tag() == Tag::Object)
        m_machine.heap().remove(made.asHandle());
}

RunStreams::HandlerThread& RunStreams::handlerThread(OutputSink& output)
{
    HandlerThread& thread = m_handlers[{std::this_thread::get_id(), &output}];
    // A handler that overflowed its stack ended that interpreter: the next event gets a fresh one.
    if (thread.interpreter && thread.depth == 0 && thread.interpreter->ending() == Interpreter::Ending::StackOverflow)
        thread.interpreter.reset();
    if (!thread.interpreter) {
        thread.interpreter = std::make_unique<Interpreter>(m_machine, output, m_run.owner());
        thread.interpreter->setRun(&m_run);
    }
    thread.interpreter->follow(m_run.mainThread());
    return thread;
}

void RunStreams::end()
{
    m_ended = true;
    for (auto& [key, thread] : m_handlers)
        thread.interpreter->requestStop();
    struct Detached
    {
        std::shared_ptr<ScriptStream> stream;
        bool hadCallback;
        std::shared_ptr<stream::IOSTStream> owned;
    };
    std::vector<Detached> detached;
    for (const std::shared_ptr<ScriptStream>& stream : m_streams) {
        forget(*stream);
        detached.push_back({stream, stream->hasCallback(), stream->takeOwned()});
    }
    m_streams.clear();
    {
        const std::lock_guard hold(relay().mutex);
        relay().runs.erase(&m_run);
    }
    {
        // Closing waits for the streams' receive threads, which may wait for the lock.
        const Unlocked unlocked(m_machine.scriptLock());
        for (Detached& stream : detached)
            detach(*stream.stream, stream.hadCallback, std::move(stream.owned));
        detached.clear();
        waitForDeliveries();
    }
    m_handlers.clear();
}

void RunStreams::waitForDeliveries()
{
    // Handlers were asked to stop: each returns at its next safepoint or blocking call's end.
    const std::thread::id self = std::this_thread::get_id();
    Relay& shared = relay();
    std::unique_lock hold(shared.mutex);
    shared.deliveryEnded.wait(hold, [&] {
        return std::all_of(m_delivering.begin(), m_delivering.end(),
                           [&](const std::thread::id& thread) { return thread == self; });
    });
}

} // namespace zeb::script::vm

// What one run does with streams: the script streams it made or borrowed, the interpreters that
// run its event handlers on the threads that deliver the events, and the end of all of it when
// the run ends. Events reach a handler with the script lock taken on the delivering thread;
// when the run ends, its subscriptions go first, the deliveries under way are waited for, and
// only then are the streams it made closed and its objects deleted.
#pragma once

#include "script/front/SymbolTable.h"
#include "script/vm/Value.h"
#include "stream/StreamCallback.h"

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace zeb::script::vm {

class ClassObject;
class Interpreter;
class Machine;
class OutputSink;
class Run;
class ScriptStream;

class RunStreams
{
public:
    // The streams of the run the interpreter belongs to, made at first use (their end is then
    // registered with the run); none for a thread without a run. With the script lock held.
    static std::shared_ptr<RunStreams> of(Interpreter& interpreter);

    explicit RunStreams(Run& run);
    ~RunStreams();
    RunStreams(const RunStreams&) = delete;
    RunStreams& operator=(const RunStreams&) = delete;

    // The rest with the script lock held; the calls that reach the stream let it go meanwhile.

    // A new Stream object for the stream, kept until "delete" or the end of the run.
    Value makeObject(Interpreter& interpreter, ClassObject* streamClass, const std::shared_ptr<ScriptStream>& stream);
    // Adds a subscriber; the stream's one callback for this script stream is subscribed the
    // first time.
    void subscribe(Interpreter& interpreter, const std::shared_ptr<ScriptStream>& stream, const Value& subscriber);
    // "delete": the subscriptions go, the callback is taken off the stream, and an owned
    // stream is closed and destroyed; a borrowed one is left as it is.
    void release(Interpreter& interpreter, const std::shared_ptr<ScriptStream>& stream);

private:
    struct HandlerThread
    {
        std::unique_ptr<Interpreter> interpreter;
        int depth = 0; // deliveries on this thread nest when a handler writes or closes
    };
    using HandlerKey = std::pair<std::thread::id, OutputSink*>;

    static void callback(void* context, stream::IOSTStream* stream, stream::StreamEventCode code,
                         std::intptr_t argument);
    void deliver(ScriptStream& stream, Name selector, const std::string* message);
    void send(Interpreter& interpreter, const Value& subscriber, Name selector, const Value& stream,
              const std::string* message);
    HandlerThread& handlerThread(OutputSink& output);
    // Takes the stream's subscriptions and its callback's way in; with the lock.
    void forget(ScriptStream& stream);
    // Takes the callback off the stream, closes and lets go an owned stream; without the lock.
    static void detach(ScriptStream& stream, bool hadCallback, std::shared_ptr<stream::IOSTStream> owned);
    void end();
    // Without the lock: until no other thread delivers into this run.
    void waitForDeliveries();

    Run& m_run;
    Machine& m_machine;
    ClassObject* m_messageClass = nullptr;
    bool m_ended = false;
    std::vector<std::shared_ptr<ScriptStream>> m_streams;
    std::map<HandlerKey, HandlerThread> m_handlers;
    // The threads delivering into this run now (guarded by the relay's mutex, see the source).
    std::vector<std::thread::id> m_delivering;
};

} // namespace zeb::script::vm

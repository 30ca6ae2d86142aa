#include "script/vm/StreamClass.h"

#include "script/vm/BlockingSection.h"
#include "script/vm/Interpreter.h"
#include "script/vm/Library.h"
#include "script/vm/RunStreams.h"
#include "script/vm/ScriptStream.h"
#include "script/vm/StreamMessageObject.h"
#include "script/vm/StreamObject.h"
#include "stream/IOSTStream.h"
#include "stream/StreamRegistry.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

namespace zeb::script::vm {

namespace {

using stream::IOSTStream;
using stream::StreamStatus;

// The longest a script waits for a stream event in one call.
constexpr double kMaxWaitSeconds = 3600;

// Each machine's StreamMessage class, entered when the machine installs its library (a machine
// made where an old one was replaces its entry).
struct MessageClasses
{
    std::mutex mutex;
    std::map<const Machine*, ClassObject*> classes;
};

MessageClasses& messageClasses()
{
    static auto* instance = new MessageClasses;
    return *instance;
}

Value status(StreamStatus result)
{
    return Value::integer(static_cast<std::int32_t>(result));
}

std::shared_ptr<ScriptStream> streamOf(Interpreter& in, const Value& self)
{
    const auto* object = dynamic_cast<const StreamObject*>(in.machine().object(self));
    return object != nullptr ? object->stream() : nullptr;
}

// Runs `call` on the stream with the script lock let go; none when the stream is gone. An
// owned stream is held until the call returns, so that a handler deleting its Stream object
// leaves the stream to this call.
template <typename Result, typename Call>
std::optional<Result> withStream(Interpreter& in, const ScriptStream& script, Call call)
{
    std::shared_ptr<IOSTStream> owned = script.owned();
    if (!owned && script.owns())
        return std::nullopt; // deleted
    const BlockingSection section(in);
    const std::shared_ptr<IOSTStream> held = std::move(owned);
    if (held)
        return call(*held);
    const stream::StreamHandle::Pin pin = script.pin();
    if (!pin)
        return std::nullopt;
    return call(*pin);
}

// Class side.

Value streamNew(Interpreter& in, const Value& self, const Arguments& args)
{
    auto* streamClass = dynamic_cast<ClassObject*>(in.machine().object(self));
    if (streamClass == nullptr || in.run() == nullptr || !args[0].isInteger() || args[0].asInteger() < 0
        || args[0].asInteger() >= stream::StreamRegistry::kSlotCount)
        return Value::integer(0);
    const int identifier = args[0].asInteger();
    std::unique_ptr<IOSTStream> made;
    {
        const BlockingSection section(in);
        // A registered identifier stays its owner's: a script cannot take over a connection.
        if (stream::StreamRegistry::instance().byIdentifier(identifier) == nullptr)
            made = std::make_unique<IOSTStream>(identifier);
    }
    const std::shared_ptr<RunStreams> run = RunStreams::of(in);
    if (!made || !run)
        return Value::integer(0);
    return run->makeObject(in, streamClass, std::make_shared<ScriptStream>(std::move(made)));
}

Value streamAt(Interpreter& in, const Value& self, const Arguments& args)
{
    auto* streamClass = dynamic_cast<ClassObject*>(in.machine().object(self));
    const bool byIdentifier = args[0].isInteger();
    if (streamClass == nullptr || (!byIdentifier && args[0].tag() != Tag::String))
        return Value::integer(0);
    const int identifier = byIdentifier ? args[0].asInteger() : 0;
    const std::string name = byIdentifier ? std::string() : args[0].asText();
    std::shared_ptr<ScriptStream> found;
    {
        const BlockingSection section(in);
        const stream::StreamRegistry& registry = stream::StreamRegistry::instance();
        if (const IOSTStream* existing = byIdentifier ? registry.byIdentifier(identifier) : registry.byName(name))
            found = std::make_shared<ScriptStream>(*existing);
    }
    const std::shared_ptr<RunStreams> run = RunStreams::of(in);
    if (!found || !run)
        return Value::integer(0);
    return run->makeObject(in, streamClass, found);
}

// Instance side.

Value openWith(Interpreter& in, const Value& self, const Value& address, const Value& mode)
{
    const std::shared_ptr<ScriptStream> script = streamOf(in, self);
    if (!script || address.tag() != Tag::String || mode.tag() != Tag::String)
        return status(StreamStatus::OpenFailed);
    // The values stay on this thread's stack and their texts never change while the lock is let go.
    const std::string& text = address.asText();
    const std::string& modeText = mode.asText();
    return status(withStream<StreamStatus>(in, *script, [&](IOSTStream& stream) {
                      return stream.open(text, modeText);
                  }).value_or(StreamStatus::NotOpen));
}

Value streamOpen(Interpreter& in, const Value& self, const Arguments& args)
{
    return openWith(in, self, args[0], Value::string("rb"));
}

Value streamOpenMode(Interpreter& in, const Value& self, const Arguments& args)
{
    return openWith(in, self, args[0], args[1]);
}

Value streamClose(Interpreter& in, const Value& self, const Arguments&)
{
    const std::shared_ptr<ScriptStream> script = streamOf(in, self);
    if (!script)
        return status(StreamStatus::NotOpen);
    return status(withStream<StreamStatus>(in, *script, [](IOSTStream& stream) {
                      return stream.close();
                  }).value_or(StreamStatus::NotOpen));
}

// Answers the bytes the transport took.
Value streamWrite(Interpreter& in, const Value& self, const Arguments& args)
{
    const std::shared_ptr<ScriptStream> script = streamOf(in, self);
    if (!script || args[0].tag() != Tag::String)
        return Value::integer(0);
    const std::string& text = args[0].asText();
    const std::size_t written
        = withStream<std::size_t>(in, *script, [&](IOSTStream& stream) { return stream.write(text); }).value_or(0);
    return Value::wide(static_cast<std::int64_t>(written));
}

Value streamSubscribe(Interpreter& in, const Value& self, const Arguments& args)
{
    const std::shared_ptr<ScriptStream> script = streamOf(in, self);
    const std::shared_ptr<RunStreams> run = RunStreams::of(in);
    if (!script || !run)
        return Value::integer(0);
    run->subscribe(in, script, args[0]);
    return Value::integer(1);
}

Value streamUnsubscribe(Interpreter& in, const Value& self, const Arguments& args)
{
    const std::shared_ptr<ScriptStream> script = streamOf(in, self);
    if (!script)
        return Value::integer(0);
    script->unsubscribe(args[0]);
    return Value::integer(1);
}

Value streamDelete(Interpreter& in, const Value& self, const Arguments&)
{
    const std::shared_ptr<ScriptStream> script = streamOf(in, self);
    const std::shared_ptr<RunStreams> run = RunStreams::of(in);
    if (!script || !run)
        return self;
    run->release(in, script);
    in.machine().heap().remove(self.asHandle());
    return self;
}

// Waits up to the given seconds for this Stream object to hand an event to its subscribers;
// answers 1 when one was handed on since the previous wait, else 0. Ends early on Stop.
Value streamWait(Interpreter& in, const Value& self, const Arguments& args)
{
    const std::shared_ptr<ScriptStream> script = streamOf(in, self);
    if (!script)
        return Value::integer(0);
    const double seconds = std::clamp(args[0].numeric(), 0.0, kMaxWaitSeconds);
    const auto limit
        = std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
    const std::uint64_t seen = script->seen();
    const std::uint64_t now = [&] {
        const BlockingSection section(in);
        return script->waitForDelivery(seen, limit, [&in] { return in.stopRequested(); });
    }();
    script->seen() = now;
    return Value::truth(now != seen);
}

Value messageAsString(Interpreter& in, const Value& self, const Arguments&)
{
    const auto* message = dynamic_cast<const StreamMessageObject*>(in.machine().object(self));
    return message != nullptr ? Value::string(message->text()) : Value::string({});
}

} // namespace

void installStreamClass(Machine& machine)
{
    ClassObject* streamClass = machine.defineClass("Stream", machine.classes().object);
    Library::defineClassSide(machine, streamClass, {{"new:", streamNew}, {"at:", streamAt}});
    Library::define(streamClass,
                    {{"open:", streamOpen},
                     {"open:mode:", streamOpenMode},
                     {"close", streamClose},
                     {"write:", streamWrite},
                     {"subscribe:", streamSubscribe},
                     {"unSubscribe:", streamUnsubscribe},
                     {"delete", streamDelete},
                     {"wait:", streamWait}});
    ClassObject* messageClass = machine.defineClass("StreamMessage", machine.classes().object);
    Library::define(messageClass, {{"asString", messageAsString}});
    const std::lock_guard hold(messageClasses().mutex);
    messageClasses().classes[&machine] = messageClass;
}

ClassObject* streamMessageClass(const Machine& machine)
{
    const std::lock_guard hold(messageClasses().mutex);
    const auto found = messageClasses().classes.find(&machine);
    return found != messageClasses().classes.end() ? found->second : nullptr;
}

} // namespace zeb::script::vm

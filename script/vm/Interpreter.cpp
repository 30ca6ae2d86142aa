#include "script/vm/Interpreter.h"

#include "script/vm/BlockingSection.h"
#include "script/vm/Library.h"
#include "script/vm/Object.h"
#include "script/vm/ThreadClass.h"

#include <cstdint>
#include <iterator>
#include <typeinfo>

namespace zeb::script::vm {

namespace {

constexpr std::uint64_t kSafepointMask = 1023;

// A comparison rule on two operands of one kind; false for the other rules.
template <typename Operand>
[[gnu::always_inline]] inline bool compare(Inline rule, Operand a, Operand b, Value& result)
{
    switch (rule) {
    case Inline::Less:
        result = Value::truth(a < b);
        return true;
    case Inline::Greater:
        result = Value::truth(a > b);
        return true;
    case Inline::LessEqual:
        result = Value::truth(a <= b);
        return true;
    case Inline::GreaterEqual:
        result = Value::truth(a >= b);
        return true;
    case Inline::Equal:
        result = Value::truth(a == b);
        return true;
    case Inline::NotEqual:
        result = Value::truth(a != b);
        return true;
    default:
        return false;
    }
}

// Two Integers under an inline rule; false when the rule needs the full send.
[[gnu::always_inline]] inline bool inlineIntegers(Inline rule, std::int32_t left, std::int32_t right, Value& result)
{
    const std::int64_t a = left;
    const std::int64_t b = right;
    switch (rule) {
    case Inline::Add:
        result = Value::wide(a + b);
        return true;
    case Inline::Subtract:
        result = Value::wide(a - b);
        return true;
    case Inline::Multiply:
        result = Value::wide(a * b);
        return true;
    case Inline::Divide:
        result = Value::normalised(static_cast<double>(a) / static_cast<double>(b));
        return true;
    default:
        return compare(rule, a, b, result);
    }
}

bool isNumeric(const Value& value)
{
    return value.tag() == Tag::Integer || value.tag() == Tag::Number;
}

// Integers and Numbers mixed, answered as the Number primitives answer them (computed in
// floating point, the result normalised); false when the rule needs the full send.
[[gnu::always_inline]] inline bool inlineNumbers(Inline rule, const Value& left, const Value& right, Value& result)
{
    if (!isNumeric(left) || !isNumeric(right))
        return false;
    const double a = left.isInteger() ? left.asInteger() : left.asNumber();
    const double b = right.isInteger() ? right.asInteger() : right.asNumber();
    switch (rule) {
    case Inline::Add:
        result = Value::normalised(a + b);
        return true;
    case Inline::Subtract:
        result = Value::normalised(a - b);
        return true;
    case Inline::Multiply:
        result = Value::normalised(a * b);
        return true;
    case Inline::Divide:
        result = Value::normalised(a / b);
        return true;
    case Inline::Equal:
    case Inline::NotEqual:
        // Equal values of the same kind only: 3 == 3.0 is 0.
        if (left.tag() != right.tag()) {
            result = Value::truth(rule == Inline::NotEqual);
            return true;
        }
        return compare(rule, a, b, result);
    default:
        return compare(rule, a, b, result);
    }
}

// The elements of an array that answers at: and at:put: with the Array primitives; nullptr for
// anything else.
std::vector<Value>* arrayElements(const Machine& machine, const Value& value)
{
    Object* object = machine.object(value);
    if (object == nullptr || typeid(*object) != typeid(ArrayObject) || object->hasOwnMethods()
        || object->objectClass() != machine.classes().array)
        return nullptr;
    return &static_cast<ArrayObject*>(object)->elements();
}

// at: and at:put: of an array with an Integer index, as the primitives answer them (0 outside
// the array); arguments[-1] is the first argument.
bool inlineArray(const Machine& machine, Inline rule, Value& receiver, const Value* arguments)
{
    if (!arguments[-1].isInteger())
        return false;
    std::vector<Value>* elements = arrayElements(machine, receiver);
    if (elements == nullptr)
        return false;
    const auto index = static_cast<std::size_t>(static_cast<std::uint32_t>(arguments[-1].asInteger()));
    const bool inside = arguments[-1].asInteger() >= 0 && index < elements->size();
    if (rule == Inline::At) {
        receiver = inside ? (*elements)[index] : Value::integer(0);
        return true;
    }
    if (inside)
        (*elements)[index] = arguments[-2];
    receiver = inside ? arguments[-2] : Value::integer(0);
    return true;
}

// The inline rules beyond two Integers; false when the send must run. next is the instruction
// after the send.
bool inlineOther(const Machine& machine, Inline rule, std::uint32_t count, Value& acc, const Value* sp,
                 const std::uint32_t* next, const Value* locals)
{
    switch (rule) {
    case Inline::At:
        return count == 1 && inlineArray(machine, rule, acc, sp);
    case Inline::AtPut:
        return count == 2 && inlineArray(machine, rule, acc, sp);
    case Inline::Increment:
    case Inline::Decrement:
        if (count != 0 || acc.tag() != Tag::Number)
            return false;
        acc = Value::normalised(acc.asNumber() + (rule == Inline::Increment ? 1.0 : -1.0));
        return true;
    case Inline::Add:
        // s = s + t: the result goes back into the local that holds the receiver. Past the
        // size limit the primitive decides.
        return count == 1 && acc.tag() == Tag::String && sp[-1].tag() == Tag::String
            && next[0] == static_cast<std::uint32_t>(Opcode::SetLocal)
            && acc.asText().size() + sp[-1].asText().size() <= Library::kMaxSize
            && acc.appendInPlace(locals[next[1]], sp[-1].asText());
    default:
        return false;
    }
}

} // namespace

Interpreter::Interpreter(Machine& machine, OutputSink& output, Heap::Owner owner, Size size)
    : m_machine(machine)
    , m_output(output)
    , m_owner(owner)
    , m_stack(size.stackValues)
    , m_top(m_stack.begin())
    , m_maxDepth(size.maxDepth)
{
    // Frames are reached by pointer while nested sends push more: they must never move.
    m_frames.reserve(m_maxDepth + 1);
}

void Interpreter::write(std::string_view text)
{
    if (m_ending != Ending::None)
        return;
    // The text may lie in an object that another thread changes once the lock is let go.
    const std::string copy(text);
    const BlockingSection section(*this);
    m_output.write(copy);
}

void Interpreter::requestStop()
{
    {
        const std::lock_guard hold(m_wakeMutex);
        m_stopRequested.store(true, std::memory_order_relaxed);
    }
    m_wake.notify_all();
}

bool Interpreter::pause(std::chrono::milliseconds duration)
{
    auto until = std::chrono::steady_clock::now() + duration;
    if (m_deadline && *m_deadline < until)
        until = *m_deadline;
    {
        const BlockingSection section(*this);
        std::unique_lock hold(m_wakeMutex);
        while (!stopRequested() && std::chrono::steady_clock::now() < until) {
            // The Stop of a leader wakes nobody here: a follower looks again now and then.
            const auto slice = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
            m_wake.wait_until(hold, m_leader != nullptr ? std::min(until, slice) : until);
        }
    }
    return safepoint();
}

Value* Interpreter::pushArguments(const Value* first, std::size_t count)
{
    if (m_ending != Ending::None || (stopAsked() && !safepoint()))
        return nullptr;
    if (m_stack.end() - m_top < static_cast<std::ptrdiff_t>(count) + 1) {
        end(Ending::StackOverflow);
        return nullptr;
    }
    m_stack.reach(m_top + count + 1);
    Value* sp = m_top;
    for (std::size_t index = count; index > 0; --index)
        *sp++ = first[index - 1]; // the first argument on top
    return sp;
}

Value Interpreter::call(const Value& receiver, const MethodEntry& entry, const std::vector<Value>& arguments)
{
    Value* sp = pushArguments(arguments.data(), arguments.size());
    return sp != nullptr ? invoke(receiver, entry, sp, static_cast<std::uint32_t>(arguments.size())) : Value();
}

Value Interpreter::send(const Value& receiver, Name selector, std::initializer_list<Value> arguments)
{
    Value* sp = pushArguments(arguments.begin(), arguments.size());
    if (sp == nullptr)
        return {};
    const auto count = static_cast<std::uint32_t>(arguments.size());
    Value target = receiver;
    const MethodEntry* entry = resolve(target, selector);
    Value result = entry != nullptr ? invoke(target, *entry, sp, count) : notUnderstood(target, selector, sp);
    return result;
}

const MethodEntry* Interpreter::resolve(Value& receiver, Name selector)
{
    if (receiver.tag() != Tag::Super)
        return m_machine.lookup(receiver, selector);
    if (m_frames.empty()) {
        receiver = Value();
        return m_machine.lookup(receiver, selector);
    }
    const Frame& frame = m_frames.back();
    receiver = frame.self;
    const ClassObject* start = frame.foundIn != nullptr ? frame.foundIn->superclass() : m_machine.classOf(receiver);
    return start != nullptr ? start->lookup(selector) : nullptr;
}

// Inline in the dispatch loop: every send of a script method passes here.
[[gnu::always_inline]] inline const MethodEntry* Interpreter::resolveAt(const MethodCode& code, std::uint32_t literal,
                                                                        Value& receiver)
{
    if (receiver.tag() == Tag::Super)
        return resolve(receiver, code.method->literals()[literal].text);
    const Object* object = m_machine.object(receiver);
    const bool own = object != nullptr && object->hasOwnMethods();
    const ClassObject* cls = object != nullptr ? object->objectClass() : m_machine.classOf(receiver);
    const void* key = own ? static_cast<const void*>(object) : cls;
    MethodCode::SiteCache& site = code.sites[literal];
    const std::uint64_t version = m_machine.methodsVersion();
    if (site.key == key && site.version == version)
        return site.entry;
    const Name selector = code.method->literals()[literal].text;
    const MethodEntry* entry = own ? object->ownMethod(selector) : nullptr;
    if (entry == nullptr)
        entry = cls->lookup(selector);
    site = {key, version, entry};
    return entry;
}

Value Interpreter::notUnderstood(const Value& receiver, Name selector, Value* sp)
{
    Value* saved = m_top;
    m_top = sp;
    Value result = send(receiver, m_machine.names().doesNotUnderstand, {Value::string(*selector)});
    m_top = saved;
    return result;
}

Value Interpreter::invoke(const Value& receiver, const MethodEntry& entry, Value* sp, std::uint32_t count)
{
    // Sends from primitives nest on the native stack, which is far smaller than the value stack.
    if (m_nesting >= kMaxNesting) {
        end(Ending::StackOverflow);
        return {};
    }
    Value* saved = m_top;
    m_top = sp;
    ++m_nesting;
    Value result;
    if (entry.primitive != nullptr) {
        result = entry.primitive(*this, receiver, Arguments(sp - 1, count));
    } else if (pushFrame(receiver, entry, sp, count)) {
        result = execute(m_frames.size() - 1);
    }
    --m_nesting;
    m_top = saved;
    return result;
}

[[gnu::always_inline]] inline bool Interpreter::pushFrame(const Value& receiver, const MethodEntry& entry, Value* sp,
                                                          std::uint32_t count)
{
    const MethodCode& code = *entry.code;
    if (m_frames.size() >= m_maxDepth || static_cast<std::size_t>(m_stack.end() - sp) < code.room) {
        end(Ending::StackOverflow);
        return false;
    }
    m_stack.reach(sp + code.room);
    for (std::uint32_t slot = 0; slot < code.slots; ++slot)
        sp[slot] = Value();
    m_frames.push_back(Frame{&code, 0, sp - count, count, sp, sp, receiver, entry.owner});
    return true;
}

void Interpreter::end(Ending ending)
{
    if (m_ending != Ending::None)
        return;
    m_ending = ending;
    if (ending == Ending::StackOverflow)
        m_output.write("Stack overflow\r\n");
}

bool Interpreter::safepoint()
{
    // Other script threads, alarms and stream callbacks get their turn here.
    m_machine.scriptLock().yield();
    if (stopAsked())
        end(Ending::Stopped);
    else if (m_stepBudget != 0 && m_steps >= m_stepBudget)
        end(Ending::OutOfSteps);
    else if (pastDeadline())
        end(Ending::TimedOut);
    return m_ending == Ending::None;
}

// Sends to compiled methods push a frame and continue in this loop; the loop returns when the
// frame at base returns. Primitives run directly and may send through send(), which nests a loop.
Value Interpreter::scriptVariable(const Value& self, Name name) const
{
    const Object* object = m_machine.object(self);
    if (object == nullptr)
        return Value::integer(0);
    const auto variable = object->variables().find(name);
    return variable != object->variables().end() ? variable->second : Value::integer(0);
}

Value Interpreter::makeArray(const Value* elements, std::uint32_t count)
{
    auto array = std::make_unique<ArrayObject>(m_machine.classes().array, count);
    for (std::uint32_t index = 0; index < count; ++index)
        array->elements()[index] = elements[index];
    return make(std::move(array));
}

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic" // labels as values: the dispatch below
#endif
Value Interpreter::execute(std::size_t base)
{
    Frame* frame = &m_frames.back();
    const std::uint32_t* code = frame->code->words.data();
    std::uint32_t pc = 0;
    Value* sp = frame->sp;
    Value acc = frame->self;
    // Values a jump between instructions must not leave: locals of an instruction's own block
    // would be destroyed by an indirect jump, which some compilers refuse.
    Value receiver;

    auto reload = [&] {
        frame = &m_frames.back();
        code = frame->code->words.data();
        pc = frame->pc;
    };

    // Sends and backward branches count the steps, so every loop passes a safepoint.
    auto keepGoing = [&] {
        if (m_ending == Ending::None && ((++m_steps & kSafepointMask) != 0 || safepoint()))
            return true;
        m_frames.resize(base);
        return false;
    };

    // One target per opcode word, in the order of the instruction set, then the sends with an
    // inline rule in the order of Inline from Add.
    static const void* const kTargets[] = {
        &&opSend,         &&opGetLocal,      &&opSetLocal,    &&opGetGlobal,    &&opSetGlobal, &&opInvalid,
        &&opInvalid,      &&opGetArgument,   &&opSetArgument, &&opGetScript,    &&opSetScript, &&opBranch,
        &&opBranchIfTrue, &&opBranchIfFalse, &&opSelf,        &&opSuper,        &&opReturn,    &&opInvalid,
        &&opPush,         &&opInteger,       &&opNumber,      &&opCharacter,    &&opString,    &&opArray,
        &&opLink,         &&opThread,        &&opAdd,         &&opSubtract,     &&opMultiply,  &&opDivide,
        &&opLess,         &&opGreater,       &&opLessEqual,   &&opGreaterEqual, &&opEqual,     &&opNotEqual,
        &&opIncrement,    &&opDecrement,     &&opAt,          &&opAtPut,
    };
    static_assert(std::size(kTargets) == kInlineSend + static_cast<std::size_t>(Inline::AtPut));

    const std::uint32_t* at = nullptr;
    // Each instruction jumps straight to the next one's code: the branch predictor then learns
    // which instruction follows which, where a single shared dispatch jump would mispredict.
#define DISPATCH()                                                                                                     \
    do {                                                                                                               \
        at = code + pc;                                                                                                \
        goto* kTargets[at[0] < std::size(kTargets) ? at[0] : static_cast<std::uint32_t>(Opcode::Unused)];              \
    } while (false)

    DISPATCH();
opSend : {
    if (!keepGoing())
        return {};
    const std::uint32_t count = at[1];
    const std::uint32_t literal = at[2];
    pc += 3;
    const MethodCode& method = *frame->code;
    receiver = std::move(acc);
    const MethodEntry* entry = resolveAt(method, literal, receiver);
    if (entry != nullptr && entry->code != nullptr) {
        frame->pc = pc;
        frame->sp = sp;
        if (!pushFrame(receiver, *entry, sp, count)) {
            m_frames.resize(base);
            return {};
        }
        reload();
        sp = frame->locals;
        acc = frame->self;
        DISPATCH();
    }
    frame->sp = sp;
    frame->pc = pc;
    acc = entry != nullptr ? invoke(receiver, *entry, sp, count)
                           : notUnderstood(receiver, method.method->literals()[literal].text, sp);
    sp -= count;
    if (m_ending != Ending::None) {
        m_frames.resize(base);
        return {};
    }
    DISPATCH();
}
// Sends of a selector with an inline rule, each with an instruction word of its own (see
// MethodCode): answered here for the operands the rule knows, else sent as any other. An
// answered send is no step: loops still count their backward branch.
#define BINARY_RULE(label, rule)                                                                                       \
    label:                                                                                                             \
    if ((acc.isInteger() && sp[-1].isInteger() && inlineIntegers(rule, acc.asInteger(), sp[-1].asInteger(), acc))      \
        || inlineNumbers(rule, acc, sp[-1], acc)) {                                                                    \
        --sp;                                                                                                          \
        pc += 3;                                                                                                       \
        DISPATCH();                                                                                                    \
    }                                                                                                                  \
    goto sendOther
    BINARY_RULE(opAdd, Inline::Add);
    BINARY_RULE(opSubtract, Inline::Subtract);
    BINARY_RULE(opMultiply, Inline::Multiply);
    BINARY_RULE(opDivide, Inline::Divide);
    BINARY_RULE(opLess, Inline::Less);
    BINARY_RULE(opGreater, Inline::Greater);
    BINARY_RULE(opLessEqual, Inline::LessEqual);
    BINARY_RULE(opGreaterEqual, Inline::GreaterEqual);
    BINARY_RULE(opEqual, Inline::Equal);
    BINARY_RULE(opNotEqual, Inline::NotEqual);
#undef BINARY_RULE
opIncrement:
    if (acc.isInteger()) {
        acc = Value::wide(std::int64_t{acc.asInteger()} + 1);
        pc += 3;
        DISPATCH();
    }
    goto sendOther;
opDecrement:
    if (acc.isInteger()) {
        acc = Value::wide(std::int64_t{acc.asInteger()} - 1);
        pc += 3;
        DISPATCH();
    }
    goto sendOther;
opAt:
opAtPut:
sendOther:
    if (inlineOther(m_machine, frame->code->inlines[at[2]], at[1], acc, sp, at + 3, frame->locals)) {
        sp -= at[1];
        pc += 3;
        DISPATCH();
    }
    goto opSend;
opThread : {
    receiver = std::move(acc);
    const MethodEntry* entry = resolveAt(*frame->code, at[2], receiver);
    acc = entry != nullptr ? ThreadClass::prepare(*this, receiver, *entry, Arguments(sp - 1, at[1]))
                           : Value::integer(0);
    sp -= at[1];
    pc += 3;
    DISPATCH();
}
opGetLocal:
    acc = frame->locals[at[1]];
    pc += 2;
    DISPATCH();
opSetLocal:
    frame->locals[at[1]] = acc;
    pc += 2;
    DISPATCH();
opGetArgument:
    acc = at[1] < frame->argumentCount ? frame->arguments[frame->argumentCount - 1 - at[1]] : Value();
    pc += 2;
    DISPATCH();
opSetArgument:
    if (at[1] < frame->argumentCount)
        frame->arguments[frame->argumentCount - 1 - at[1]] = acc;
    pc += 2;
    DISPATCH();
opGetGlobal:
    acc = m_machine.global(frame->code->method->literals()[at[1]].text);
    pc += 2;
    DISPATCH();
opSetGlobal:
    m_machine.setGlobal(frame->code->method->literals()[at[1]].text, acc);
    pc += 2;
    DISPATCH();
opGetScript:
    acc = scriptVariable(frame->self, frame->code->method->literals()[at[1]].text);
    pc += 2;
    DISPATCH();
opSetScript:
    if (Object* self = m_machine.object(frame->self))
        self->variables()[frame->code->method->literals()[at[1]].text] = acc;
    pc += 2;
    DISPATCH();
opBranch:
    if (at[1] <= pc && !keepGoing())
        return {};
    pc = at[1];
    DISPATCH();
opBranchIfTrue:
    if (at[1] <= pc && !keepGoing())
        return {};
    pc = acc.isTrue() ? at[1] : pc + 2;
    DISPATCH();
opBranchIfFalse:
    if (at[1] <= pc && !keepGoing())
        return {};
    pc = acc.isTrue() ? pc + 2 : at[1];
    DISPATCH();
opSelf:
    acc = frame->self;
    ++pc;
    DISPATCH();
opSuper:
    acc = Value::superMarker();
    ++pc;
    DISPATCH();
opReturn : {
methodReturn:
    Value* popped = frame->arguments;
    m_frames.pop_back();
    if (m_frames.size() == base)
        return acc;
    reload();
    sp = popped;
    DISPATCH();
}
opPush:
    *sp++ = acc;
    ++pc;
    DISPATCH();
opInteger:
    acc = Value::integer(static_cast<std::int32_t>(at[1]));
    pc += 2;
    DISPATCH();
opNumber : {
    const std::uint64_t bits = at[1] | (std::uint64_t{at[2]} << 32);
    double value = 0;
    static_assert(sizeof value == sizeof bits);
    __builtin_memcpy(&value, &bits, sizeof value);
    acc = Value::number(value);
    pc += 3;
    DISPATCH();
}
opCharacter:
    acc = Value::character(static_cast<std::uint8_t>(at[1]));
    pc += 2;
    DISPATCH();
opString:
    acc = frame->code->strings[at[1]];
    pc += 2;
    DISPATCH();
opArray:
    acc = makeArray(sp - at[1], at[1]);
    sp -= at[1];
    pc += 2;
    DISPATCH();
opLink:
    sp = frame->locals + at[1];
    pc += 2;
    DISPATCH();
opInvalid:
    // Instructions the compiler never emits: the method ends here.
    goto methodReturn;
#undef DISPATCH
}
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

} // namespace zeb::script::vm

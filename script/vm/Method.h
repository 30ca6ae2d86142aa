// What a selector finds: compiled script code or a native primitive.
#pragma once

#include "script/front/CompiledMethod.h"
#include "script/vm/Value.h"

#include <memory>
#include <vector>

namespace zeb::script::vm {

class ClassObject;
class Interpreter;
class Machine;
struct MethodEntry;

// The arguments of a send where they lie on the operand stack: the first argument on top.
class Arguments
{
public:
    Arguments(const Value* top, std::uint32_t count)
        : m_top(top)
        , m_count(count)
    {
    }
    std::uint32_t count() const { return m_count; }
    const Value& operator[](std::uint32_t index) const
    {
        static const Value nil;
        return index < m_count ? *(m_top - index) : nil;
    }

private:
    const Value* m_top;
    std::uint32_t m_count;
};

using Primitive = Value (*)(Interpreter& interpreter, const Value& self, const Arguments& arguments);

// Special selectors the interpreter answers inline: arithmetic and comparisons of Integers and
// Numbers, element access of arrays.
enum class Inline : std::uint8_t {
    None,
    Add,
    Subtract,
    Multiply,
    Divide,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Equal,
    NotEqual,
    Increment,
    Decrement,
    At,
    AtPut
};

// The instruction word of a send with an inline rule in MethodCode::words: kInlineSend - 1 + the
// rule, after the compiler's instruction set.
constexpr std::uint32_t kInlineSend = static_cast<std::uint32_t>(Opcode::Thread) + 1;

// A compiled method as the machine runs it: the front end's code, plus what each literal
// becomes at run time (the shared string of a string literal, the inline rule of a selector).
struct MethodCode
{
    MethodCode(std::unique_ptr<CompiledMethod> compiled, const Machine& machine);

    // What the send of a literal's selector found last: valid while the receiver's class (or,
    // for an object with methods of its own, the object itself) and the machine's method version
    // are the same.
    struct SiteCache
    {
        const void* key = nullptr;
        std::uint64_t version = 0;
        const MethodEntry* entry = nullptr;
    };

    std::unique_ptr<CompiledMethod> method;
    // The method's code with a RETURN after its end, where running off the end and branches to
    // the end arrive, so the loop never checks the position against the code's size. Sends of a
    // selector with an inline rule have the rule's own instruction word (see kInlineSend).
    std::vector<std::uint32_t> words;
    std::vector<Value> strings;
    std::vector<Inline> inlines;
    mutable std::vector<SiteCache> sites;
    // The method's local slots, and the stack values a call of it needs: its locals and operands.
    std::uint32_t slots = 0;
    std::size_t room = 0;

private:
    void specialiseSends();
};

class ClassObject;

struct MethodEntry
{
    Primitive primitive = nullptr;
    const MethodCode* code = nullptr;
    // The class whose table holds the entry (where a super send starts above); nullptr for an
    // object's own method.
    const ClassObject* owner = nullptr;
};

} // namespace zeb::script::vm

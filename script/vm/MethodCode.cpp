#include "script/front/Opcode.h"
#include "script/vm/Machine.h"
#include "script/vm/Method.h"

namespace zeb::script::vm {

MethodCode::MethodCode(std::unique_ptr<CompiledMethod> compiled, const Machine& machine)
    : method(std::move(compiled))
    , slots(method->slotCount())
    , room(std::size_t{method->slotCount()} + method->maxStackDepth() + 2)
{
    words = method->code();
    words.push_back(static_cast<std::uint32_t>(Opcode::Return));
    const auto& literals = method->literals();
    strings.resize(literals.size());
    inlines.resize(literals.size(), Inline::None);
    sites.resize(literals.size());
    for (std::size_t index = 0; index < literals.size(); ++index) {
        const Literal& literal = literals[index];
        if (literal.text == nullptr)
            continue;
        if (literal.kind == Literal::Kind::String)
            strings[index] = Value::string(*literal.text);
        else
            inlines[index] = machine.inlineOf(literal.text);
    }
    specialiseSends();
}

namespace {

// The argument count every send of a selector with the rule has.
std::uint32_t arity(Inline rule)
{
    switch (rule) {
    case Inline::Increment:
    case Inline::Decrement:
        return 0;
    case Inline::AtPut:
        return 2;
    default:
        return 1;
    }
}

} // namespace

void MethodCode::specialiseSends()
{
    const auto send = static_cast<std::uint32_t>(Opcode::Send);
    for (std::size_t at = 0; at < words.size();) {
        const OpcodeInfo* info = opcodeInfo(words[at]);
        if (info == nullptr)
            return; // the loop ends the method at a word that is no instruction
        const Inline rule = words[at] == send && at + 2 < words.size() && words[at + 2] < inlines.size()
            ? inlines[words[at + 2]]
            : Inline::None;
        if (rule != Inline::None && words[at + 1] == arity(rule))
            words[at] = kInlineSend - 1 + static_cast<std::uint32_t>(rule);
        at += 1 + info->operandWords;
    }
}

} // namespace zeb::script::vm

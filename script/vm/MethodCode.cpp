#include "script/vm/Machine.h"
#include "script/vm/Method.h"

namespace zeb::script::vm {

MethodCode::MethodCode(std::unique_ptr<CompiledMethod> compiled, const Machine& machine)
    : method(std::move(compiled))
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
}

} // namespace zeb::script::vm

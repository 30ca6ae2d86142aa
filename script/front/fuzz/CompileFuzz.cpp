// Arbitrary text through the scanner, the parser and the code generator: no crash, no hang, and
// every method that compiles lists, starts with LINK and branches only inside its own code.
#include "script/front/Compiler.h"
#include "script/front/Listing.h"
#include "script/front/ScriptImage.h"
#include "script/front/TreeDump.h"
#include "testsupport/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace zeb::script;

namespace {

void checkMethod(const CompiledMethod& method)
{
    const auto& code = method.code();
    zeb::testsupport::check(code.size() >= 2 && code[0] == static_cast<std::uint32_t>(Opcode::Link));
    zeb::testsupport::check(code[1] == method.slotCount());
    for (std::size_t at = 0; at < code.size();) {
        const OpcodeInfo* info = opcodeInfo(code[at]);
        zeb::testsupport::check(info != nullptr && at + info->operandWords < code.size());
        const auto opcode = static_cast<Opcode>(code[at]);
        if (opcode == Opcode::Branch || opcode == Opcode::BranchIfTrue || opcode == Opcode::BranchIfFalse)
            zeb::testsupport::check(code[at + 1] <= code.size());
        if (info->form == OperandForm::QuotedName || info->form == OperandForm::Selector)
            zeb::testsupport::check(code[at + info->operandWords] < method.literals().size());
        at += 1 + info->operandWords;
    }
    zeb::testsupport::check(!Listing::of(method).empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Compiler compiler;
    if (!compiler.compile(text)) {
        zeb::testsupport::check(compiler.errorPosition().offset <= size);
        return 0;
    }
    ScriptImage image;
    compiler.install(image);
    // A second compile of the same text gives the same code: nothing of one compile leaks into the next.
    Compiler again;
    zeb::testsupport::check(again.compile(text));
    ScriptImage second;
    again.install(second);
    zeb::testsupport::check(second.methodCount() == image.methodCount());
    for (const Node* definition : compiler.tree().definitions()) {
        if (definition->kind != NodeKind::Method)
            continue;
        TreeDump::of(definition->first);
        const CompiledMethod* method = image.method(*definition->name);
        if (method == nullptr)
            continue;
        checkMethod(*method);
        zeb::testsupport::check(second.method(*definition->name)->code() == method->code());
    }
    return 0;
}

#include "script/front/Listing.h"

#include "text/Format.h"

#include <cstring>

namespace zeb::script {

namespace {

const char* literalText(const CompiledMethod& method, std::uint32_t index)
{
    const auto& literals = method.literals();
    return index < literals.size() && literals[index].text != nullptr ? literals[index].text->c_str() : "";
}

} // namespace

std::string Listing::of(const CompiledMethod& method)
{
    std::string out;
    const auto& code = method.code();
    std::uint32_t at = 0;
    while (at < code.size()) {
        const OpcodeInfo* info = opcodeInfo(code[at]);
        if (info == nullptr || code.size() - at <= info->operandWords) {
            text::appendFormat(out, "%04u ???? %u\r\n", at, code[at]);
            ++at;
            continue;
        }
        const std::uint32_t first = info->operandWords > 0 ? code[at + 1] : 0;
        switch (info->form) {
        case OperandForm::None:
            text::appendFormat(out, "%04u %s\r\n", at, info->name);
            break;
        case OperandForm::Unsigned:
            text::appendFormat(out, "%04u %s %u\r\n", at, info->name, first);
            break;
        case OperandForm::Signed:
            text::appendFormat(out, "%04u %s %ld\r\n", at, info->name,
                               static_cast<long>(static_cast<std::int32_t>(first)));
            break;
        case OperandForm::Double: {
            const std::uint64_t bits = first | static_cast<std::uint64_t>(code[at + 2]) << 32;
            double value = 0;
            std::memcpy(&value, &bits, sizeof value);
            text::appendFormat(out, "%04u %s %lf\r\n", at, info->name, value);
            break;
        }
        case OperandForm::Character:
            text::appendFormat(out, "%04u %s %c\r\n", at, info->name, static_cast<char>(first & 0xFF));
            break;
        case OperandForm::QuotedName:
            text::appendFormat(out, "%04u %s \"%s\"\r\n", at, info->name, literalText(method, first));
            break;
        case OperandForm::Selector:
            text::appendFormat(out, "%04u %s %s\r\n", at, info->name, literalText(method, code[at + 2]));
            break;
        }
        at += 1 + info->operandWords;
    }
    return out;
}

} // namespace zeb::script

#include "script/front/Opcode.h"

#include <array>

namespace zeb::script {

namespace {

constexpr std::array<OpcodeInfo, 26> kOpcodes = {{
    {"SEND", OperandForm::Selector, 2},
    {"GET_LOCAL", OperandForm::Unsigned, 1},
    {"SET_LOCAL", OperandForm::Unsigned, 1},
    {"GET_GLOBAL", OperandForm::QuotedName, 1},
    {"SET_GLOBAL", OperandForm::QuotedName, 1},
    {"GET_INSTANCE", OperandForm::Unsigned, 1},
    {"SET_INSTANCE", OperandForm::Unsigned, 1},
    {"GET_ARGUMENT", OperandForm::Unsigned, 1},
    {"SET_ARGUMENT", OperandForm::Unsigned, 1},
    {"GET_SCRIPT", OperandForm::QuotedName, 1},
    {"SET_SCRIPT", OperandForm::QuotedName, 1},
    {"BRANCH", OperandForm::Unsigned, 1},
    {"BRANCH_IF_TRUE", OperandForm::Unsigned, 1},
    {"BRANCH_IF_FALSE", OperandForm::Unsigned, 1},
    {"SELF", OperandForm::None, 0},
    {"SUPER", OperandForm::None, 0},
    {"RETURN", OperandForm::None, 0},
    {nullptr, OperandForm::None, 0},
    {"PUSH", OperandForm::None, 0},
    {"INTEGER", OperandForm::Signed, 1},
    {"NUMBER", OperandForm::Double, 2},
    {"CHARACTER", OperandForm::Character, 1},
    {"STRING", OperandForm::QuotedName, 1},
    {"ARRAY", OperandForm::Unsigned, 1},
    {"LINK", OperandForm::Unsigned, 1},
    {"THREAD", OperandForm::Selector, 2},
}};

} // namespace

const OpcodeInfo* opcodeInfo(std::uint32_t word)
{
    if (word >= kOpcodes.size() || kOpcodes[word].name == nullptr)
        return nullptr;
    return &kOpcodes[word];
}

} // namespace zeb::script

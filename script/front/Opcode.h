// The instruction set: one table says how every instruction is encoded and listed.
#pragma once

#include <cstdint>

namespace zeb::script {

// An instruction is one opcode word followed by its operand words.
enum class Opcode : std::uint32_t {
    Send = 0, // argument count, selector literal: message to the accumulator, popping the arguments
    GetLocal, // slot
    SetLocal, // slot
    GetGlobal, // name literal
    SetGlobal, // name literal
    GetInstance, // slot (no declaration form fills instance variables yet)
    SetInstance, // slot
    GetArgument, // argument index
    SetArgument, // argument index
    GetScript, // name literal: a variable of the script object
    SetScript, // name literal
    Branch, // target code position
    BranchIfTrue, // target
    BranchIfFalse, // target: taken when the accumulator is anything but true
    Self,
    Super,
    Return, // the accumulator is the result
    Unused,
    Push, // the accumulator onto the operand stack
    Integer, // signed 32-bit value
    Number, // 64-bit floating value, low word first
    Character, // low 8 bits
    String, // string literal
    Array, // element count: pops that many values into a new array
    Link, // local slot count: first instruction of every method
    Thread, // as Send, the send running as a new script thread
};

// How an instruction's operands are listed.
enum class OperandForm : std::uint8_t {
    None,
    Unsigned, // one word, "%u"
    Signed, // one word, "%ld"
    Double, // two words, "%lf"
    Character, // one word, "%c"
    QuotedName, // one literal index, the literal's text in double quotes
    Selector, // argument count and literal index, the selector's text alone
};

struct OpcodeInfo
{
    const char* name;
    OperandForm form;
    std::uint8_t operandWords;
};

// The entry of an opcode word; nullptr for a word that is no instruction (listed as "????").
const OpcodeInfo* opcodeInfo(std::uint32_t word);

} // namespace zeb::script

// The code of one method: instruction words, literal table, local slots and line table.
#pragma once

#include "script/front/Literal.h"
#include "script/front/Opcode.h"

#include <cstdint>
#include <vector>

namespace zeb::script {

class InstallTarget;

class CompiledMethod
{
public:
    // Bounds of one method, so that a hostile script cannot make the compiler allocate without end.
    static constexpr std::size_t kMaxCodeWords = 1u << 20;
    static constexpr std::size_t kMaxLiterals = 1u << 16;

    struct LineEntry
    {
        std::uint32_t line;
        std::uint32_t position; // the lowest code position generated for a node starting on the line
    };

    explicit CompiledMethod(Name selector = nullptr)
        : m_selector(selector)
    {
    }

    Name selector() const { return m_selector; }
    const std::vector<std::uint32_t>& code() const { return m_code; }
    const std::vector<Literal>& literals() const { return m_literals; }
    const std::vector<LineEntry>& lines() const { return m_lines; }
    const std::vector<Name>& arguments() const { return m_arguments; }
    std::uint32_t slotCount() const { return m_slotCount; }
    // The most values the method's code ever has on the operand stack at once: the machine
    // reserves that much when it enters the method, so no push can overflow.
    std::uint32_t maxStackDepth() const { return m_maxStackDepth; }
    // Set when a bound was passed: the code is incomplete and must not be installed.
    bool overflowed() const { return m_overflowed; }

    void setArguments(std::vector<Name> arguments) { m_arguments = std::move(arguments); }
    void useSlot(std::uint32_t slot);

    // Emission.
    std::uint32_t position() const { return static_cast<std::uint32_t>(m_code.size()); }
    void emit(Opcode opcode);
    void emit(Opcode opcode, std::uint32_t operand);
    void emit(Opcode opcode, std::uint32_t first, std::uint32_t second);
    void emitNumber(double value);
    // A branch to a place not known yet: the returned placeholder is patched later.
    std::uint32_t emitBranch(Opcode opcode);
    void patch(std::uint32_t placeholder, std::uint32_t target);
    void patchHere(std::uint32_t placeholder) { patch(placeholder, position()); }
    void patchLink(std::uint32_t slotCount);
    std::uint32_t addLiteral(Literal::Kind kind, Name text);
    // Turns the global-variable instructions whose name is a script variable of target into
    // script-variable instructions (same operand: the name's literal).
    void bindScriptVariables(const InstallTarget& target);

    void noteLine(std::uint32_t line)
    {
        if (!m_lines.empty() && m_lines.back().line == line)
            return; // positions only grow while one line's nodes are generated
        noteNewLine(line);
    }

private:
    bool room(std::size_t words);
    void noteNewLine(std::uint32_t line);
    void trackStack(Opcode opcode, std::uint32_t operand);

    Name m_selector;
    std::vector<std::uint32_t> m_code;
    std::vector<Literal> m_literals;
    std::vector<LineEntry> m_lines;
    std::vector<Name> m_arguments;
    std::vector<std::uint32_t> m_globalSites; // positions of GET_GLOBAL and SET_GLOBAL
    std::uint32_t m_slotCount = 0;
    std::uint32_t m_stackDepth = 0;
    std::uint32_t m_maxStackDepth = 0;
    bool m_overflowed = false;
};

} // namespace zeb::script

#include "script/front/CompiledMethod.h"

#include "script/front/InstallTarget.h"

#include <algorithm>
#include <cstring>

namespace zeb::script {

void CompiledMethod::useSlot(std::uint32_t slot)
{
    m_slotCount = std::max(m_slotCount, slot + 1);
}

bool CompiledMethod::room(std::size_t words)
{
    if (m_code.size() + words > kMaxCodeWords)
        m_overflowed = true;
    return !m_overflowed;
}

// The operand stack grows only by PUSH and shrinks by the instructions that pop: the depth at
// each point of the code is the same whatever path led there, since every expression leaves
// the stack as it found it.
void CompiledMethod::trackStack(Opcode opcode, std::uint32_t operand)
{
    if (opcode == Opcode::Push) {
        ++m_stackDepth;
        m_maxStackDepth = std::max(m_maxStackDepth, m_stackDepth);
    } else if (opcode == Opcode::Send || opcode == Opcode::Thread || opcode == Opcode::Array) {
        m_stackDepth -= std::min(m_stackDepth, operand);
    }
}

void CompiledMethod::emit(Opcode opcode)
{
    if (!room(1))
        return;
    trackStack(opcode, 0);
    m_code.push_back(static_cast<std::uint32_t>(opcode));
}

void CompiledMethod::emit(Opcode opcode, std::uint32_t operand)
{
    if (!room(2))
        return;
    if (opcode == Opcode::GetGlobal || opcode == Opcode::SetGlobal)
        m_globalSites.push_back(position());
    trackStack(opcode, operand);
    m_code.push_back(static_cast<std::uint32_t>(opcode));
    m_code.push_back(operand);
}

void CompiledMethod::emit(Opcode opcode, std::uint32_t first, std::uint32_t second)
{
    if (!room(3))
        return;
    trackStack(opcode, first);
    m_code.push_back(static_cast<std::uint32_t>(opcode));
    m_code.push_back(first);
    m_code.push_back(second);
}

void CompiledMethod::emitNumber(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    emit(Opcode::Number, static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32));
}

std::uint32_t CompiledMethod::emitBranch(Opcode opcode)
{
    emit(opcode, 0);
    return position() - 1;
}

void CompiledMethod::patch(std::uint32_t placeholder, std::uint32_t target)
{
    if (placeholder < m_code.size())
        m_code[placeholder] = target;
}

void CompiledMethod::patchLink(std::uint32_t slotCount)
{
    if (m_code.size() >= 2 && m_code[0] == static_cast<std::uint32_t>(Opcode::Link))
        m_code[1] = slotCount;
}

std::uint32_t CompiledMethod::addLiteral(Literal::Kind kind, Name text)
{
    if (m_literals.size() >= kMaxLiterals) {
        m_overflowed = true;
        return 0;
    }
    m_literals.push_back({kind, text});
    return static_cast<std::uint32_t>(m_literals.size() - 1);
}

void CompiledMethod::noteNewLine(std::uint32_t line)
{
    auto at = std::lower_bound(m_lines.begin(), m_lines.end(), line,
                               [](const LineEntry& entry, std::uint32_t wanted) { return entry.line < wanted; });
    if (at != m_lines.end() && at->line == line) {
        at->position = std::min(at->position, position());
        return;
    }
    m_lines.insert(at, {line, position()});
}

void CompiledMethod::bindScriptVariables(const InstallTarget& target)
{
    for (const std::uint32_t site : m_globalSites) {
        if (site + 1 >= m_code.size() || m_code[site + 1] >= m_literals.size())
            continue;
        const Literal& name = m_literals[m_code[site + 1]];
        const bool isScript = target.hasScriptVariable(name.text);
        const bool isGet = m_code[site] == static_cast<std::uint32_t>(Opcode::GetGlobal)
            || m_code[site] == static_cast<std::uint32_t>(Opcode::GetScript);
        const Opcode opcode = isGet ? (isScript ? Opcode::GetScript : Opcode::GetGlobal)
                                    : (isScript ? Opcode::SetScript : Opcode::SetGlobal);
        m_code[site] = static_cast<std::uint32_t>(opcode);
    }
}

} // namespace zeb::script

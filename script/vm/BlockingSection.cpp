#include "script/vm/BlockingSection.h"

#include "script/vm/Interpreter.h"

namespace zeb::script::vm {

BlockingSection::BlockingSection(Interpreter& interpreter)
    : m_interpreter(interpreter)
    , m_lock(interpreter.machine().scriptLock())
{
    m_lock.unlock();
}

BlockingSection::~BlockingSection()
{
    m_lock.lock();
    m_interpreter.endIfStopped();
}

} // namespace zeb::script::vm

// Lets the script lock go while a primitive waits (output, sleep, stream calls, dialogs, a
// program run), so other script threads, alarms and stream callbacks go on meanwhile.
// Nothing of the machine may be touched while the section is alive.
#pragma once

namespace zeb::script::vm {

class Interpreter;
class ScriptLock;

class BlockingSection
{
public:
    explicit BlockingSection(Interpreter& interpreter);
    ~BlockingSection();
    BlockingSection(const BlockingSection&) = delete;
    BlockingSection& operator=(const BlockingSection&) = delete;

private:
    ScriptLock& m_lock;
};

} // namespace zeb::script::vm

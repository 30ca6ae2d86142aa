// Lets the script lock go while a primitive waits (output, sleep, stream calls, dialogs, a
// program run), so other script threads, alarms and stream callbacks go on meanwhile.
// Nothing of the machine may be touched while the section is alive. A wait that Stop or the time
// limit cut short ends the thread when the section closes, so nothing after it runs.
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
    Interpreter& m_interpreter;
    ScriptLock& m_lock;
};

} // namespace zeb::script::vm

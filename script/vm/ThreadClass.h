// The Thread class (script threads made by thread sends) and the sleep of numbers.
#pragma once

#include "script/vm/Method.h"

namespace zeb::script::vm {

class Interpreter;
class Machine;

class ThreadClass
{
public:
    static void install(Machine& machine);
    // A thread send that found its method: a new Thread holding the prepared send, not started.
    static Value prepare(Interpreter& interpreter, const Value& receiver, const MethodEntry& entry,
                         const Arguments& arguments);
};

} // namespace zeb::script::vm

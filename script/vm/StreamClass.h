// The Stream and StreamMessage classes: scripts open, write, close and subscribe to the
// process's streams.
#pragma once

namespace zeb::script::vm {

class ClassObject;
class Machine;

void installStreamClass(Machine& machine);
// The class of the messages handed to a machine's stream handlers (scripts may rebind the
// global name, so it is kept here).
ClassObject* streamMessageClass(const Machine& machine);

} // namespace zeb::script::vm

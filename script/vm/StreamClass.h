// The Stream and StreamMessage classes: scripts open, write, close and subscribe to the
// process's streams.
#pragma once

namespace zeb::script::vm {

class Machine;

void installStreamClass(Machine& machine);

} // namespace zeb::script::vm

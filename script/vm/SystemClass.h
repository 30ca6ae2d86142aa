// System: "run:" and "run:with:" start another program and answer its exit code.
#pragma once

namespace zeb::script::vm {

class Machine;

void installSystemClass(Machine& machine);

} // namespace zeb::script::vm

// The message boxes a string shows: "alert", "notify" and "question", through the run's host.
// The script thread waits, without the script lock, until the user closes the box.
#pragma once

namespace zeb::script::vm {

class Machine;

void installStringDialogs(Machine& machine);

} // namespace zeb::script::vm

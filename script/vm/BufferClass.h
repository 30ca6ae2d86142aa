// Buffer: a text block a script fills with "+" and "print:", made with "new:" or "load:".
// Strings inherit its instance side, but a string never changes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace zeb::script::vm {

class Machine;

void installBufferClass(Machine& machine);

// The whole content of a regular file, or nothing when it cannot be read or is larger than
// limit bytes. Opened without blocking, so a pipe or device name cannot hang the script.
std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit);

} // namespace zeb::script::vm

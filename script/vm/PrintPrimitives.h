// "print:": the text "print" shows for a value, written into a Buffer (overwriting its text,
// bounded by its block). A target that is no Buffer is left alone: strings never change.
#pragma once

#include "script/vm/Value.h"

#include <string>

namespace zeb::script::vm {

class Interpreter;
class Machine;

void installPrintPrimitives(Machine& machine);

// What "print:" writes for a value that is no heap object: numbers as "%lf" and Integers as
// "%d" in the C locale, strings and characters as themselves, nil by its article name.
std::string printedText(Interpreter& interpreter, const Value& value);

} // namespace zeb::script::vm

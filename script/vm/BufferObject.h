// The native state of a Buffer: a text that never grows past the block the script asked for.
#pragma once

#include "script/vm/Object.h"

#include <string>
#include <string_view>

namespace zeb::script::vm {

class Machine;

class BufferObject : public Object
{
public:
    // A block of blockSize bytes, as a script sees it: the text and its terminating NUL, so
    // the text holds at most blockSize - 1 bytes. The text's memory grows with the text.
    BufferObject(ClassObject* bufferClass, std::size_t blockSize);

    const std::string& text() const { return m_text; }
    std::size_t capacity() const { return m_capacity; }
    // Every write keeps what fits and drops the rest.
    void assign(std::string_view text);
    void append(std::string_view text);
    void clear() { m_text.clear(); }

    // The text of a String value or of a Buffer object; nullptr for any other value.
    static const std::string* textOf(const Machine& machine, const Value& value);

private:
    std::size_t m_capacity;
    std::string m_text;
};

} // namespace zeb::script::vm

#include "script/vm/BufferObject.h"

#include "script/vm/Machine.h"

#include <algorithm>

namespace zeb::script::vm {

BufferObject::BufferObject(ClassObject* bufferClass, std::size_t blockSize)
    : Object(bufferClass)
    , m_capacity(blockSize > 0 ? blockSize - 1 : 0)
{
}

void BufferObject::assign(std::string_view text)
{
    m_text.assign(text.substr(0, m_capacity));
}

void BufferObject::append(std::string_view text)
{
    const std::size_t room = m_capacity - std::min(m_capacity, m_text.size());
    m_text.append(text.substr(0, room));
}

const std::string* BufferObject::textOf(const Machine& machine, const Value& value)
{
    if (value.tag() == Tag::String)
        return &value.asText();
    const auto* buffer = dynamic_cast<const BufferObject*>(machine.object(value));
    return buffer != nullptr ? &buffer->text() : nullptr;
}

} // namespace zeb::script::vm

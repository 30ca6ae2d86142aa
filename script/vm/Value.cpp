#include "script/vm/Value.h"

#include <cmath>
#include <limits>

namespace zeb::script::vm {

Value Value::character(std::uint8_t code)
{
    Value made;
    made.m_tag = Tag::Character;
    made.m_payload.raw = code;
    return made;
}

Value Value::string(std::string text)
{
    Value made;
    made.m_tag = Tag::String;
    made.m_payload.string = new StringText(std::move(text));
    return made;
}

Value Value::object(Handle handle)
{
    Value made;
    made.m_tag = Tag::Object;
    made.m_payload.handle = handle;
    return made;
}

Value Value::superMarker()
{
    Value made;
    made.m_tag = Tag::Super;
    return made;
}

double Value::numeric() const
{
    switch (m_tag) {
    case Tag::Integer:
        return m_payload.integer;
    case Tag::Number:
        return m_payload.number;
    case Tag::Character:
        return static_cast<std::int8_t>(m_payload.character);
    default:
        return 0.0;
    }
}

std::int32_t Value::integral() const
{
    if (m_tag == Tag::Integer)
        return m_payload.integer;
    const double value = std::trunc(numeric());
    if (!(value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()))
        return 0; // nan and values out of range have no Integer
    return static_cast<std::int32_t>(value);
}

bool Value::identical(const Value& other) const
{
    if (m_tag != other.m_tag)
        return false;
    switch (m_tag) {
    case Tag::Nil:
    case Tag::Super:
        return true;
    case Tag::Integer:
        return m_payload.integer == other.m_payload.integer;
    case Tag::Number:
        return m_payload.number == other.m_payload.number;
    case Tag::Character:
        return m_payload.character == other.m_payload.character;
    case Tag::String:
        return asText() == other.asText();
    case Tag::Object:
        return m_payload.handle.index == other.m_payload.handle.index
            && m_payload.handle.generation == other.m_payload.handle.generation;
    }
    return false;
}

bool Value::appendInPlace(const Value& holder, std::string_view more)
{
    if (m_tag != Tag::String || holder.m_tag != Tag::String || holder.m_payload.string != m_payload.string)
        return false;
    if (m_payload.string->references() != 2)
        return false;
    m_payload.string->append(more);
    return true;
}

} // namespace zeb::script::vm

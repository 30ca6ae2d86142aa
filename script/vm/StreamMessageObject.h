// One received or sent message as a handler sees it: a copy of its text, since the stream's
// bytes live only while the event is delivered and a script may keep what it was given.
#pragma once

#include "script/vm/Object.h"

#include <string>

namespace zeb::script::vm {

class StreamMessageObject : public Object
{
public:
    StreamMessageObject(ClassObject* messageClass, std::string text)
        : Object(messageClass)
        , m_text(std::move(text))
    {
    }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

} // namespace zeb::script::vm

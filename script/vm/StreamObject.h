// A script's Stream object: a handle on its ScriptStream, which the run keeps too, so that the
// stream outlives the object until the run (or "delete") has closed it without the script lock.
#pragma once

#include "script/vm/Object.h"
#include "script/vm/ScriptStream.h"

#include <memory>

namespace zeb::script::vm {

class StreamObject : public Object
{
public:
    StreamObject(ClassObject* streamClass, std::shared_ptr<ScriptStream> stream)
        : Object(streamClass)
        , m_stream(std::move(stream))
    {
    }
    const std::shared_ptr<ScriptStream>& stream() const { return m_stream; }

private:
    std::shared_ptr<ScriptStream> m_stream;
};

} // namespace zeb::script::vm

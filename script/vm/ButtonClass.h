// Button: a push-button window a script makes, shows and hides through the run's host. The
// window goes when the Button is deleted or the run ends.
#pragma once

#include "script/vm/Object.h"

#include <cstdint>

namespace zeb::script::vm {

class Host;
class Machine;

class ButtonObject : public Object
{
public:
    // host may be null (no window then).
    ButtonObject(ClassObject* buttonClass, Host* host, std::uint32_t id);
    ~ButtonObject() override;
    ButtonObject(const ButtonObject&) = delete;
    ButtonObject& operator=(const ButtonObject&) = delete;

    std::uint32_t id() const { return m_id; }
    Host* host() const { return m_host; }
    // A new id for the next window, unique in the process.
    static std::uint32_t nextId();

private:
    Host* m_host;
    std::uint32_t m_id;
};

void installButtonClass(Machine& machine);

} // namespace zeb::script::vm

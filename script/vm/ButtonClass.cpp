#include "script/vm/ButtonClass.h"

#include "script/vm/BlockingSection.h"
#include "script/vm/Library.h"
#include "script/vm/Run.h"

#include <atomic>

namespace zeb::script::vm {

ButtonObject::ButtonObject(ClassObject* buttonClass, Host* host, std::uint32_t id)
    : Object(buttonClass)
    , m_host(host)
    , m_id(id)
{
}

ButtonObject::~ButtonObject()
{
    if (m_host != nullptr)
        m_host->destroyButton(m_id);
}

std::uint32_t ButtonObject::nextId()
{
    static std::atomic<std::uint32_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

namespace {

Value buttonNew(Interpreter& in, const Value& self, const Arguments&)
{
    auto* buttonClass = dynamic_cast<ClassObject*>(in.machine().object(self));
    Run* run = in.run();
    if (buttonClass == nullptr || run == nullptr)
        return Value::integer(0);
    Host& host = run->host();
    const std::uint32_t id = ButtonObject::nextId();
    {
        // The window exists before the object does, so no delete can overtake its creation.
        BlockingSection section(in);
        host.createButton(id);
    }
    Value button = in.make(std::make_unique<ButtonObject>(buttonClass, &host, id));
    Machine& machine = in.machine();
    run->atEnd([&machine, handle = button.asHandle()] { machine.heap().remove(handle); });
    return button;
}

template <void (Host::*Show)(std::uint32_t)>
Value buttonShow(Interpreter& in, const Value& self, const Arguments&)
{
    const auto* button = dynamic_cast<const ButtonObject*>(in.machine().object(self));
    if (button == nullptr || button->host() == nullptr)
        return self;
    Host& host = *button->host();
    const std::uint32_t id = button->id();
    {
        BlockingSection section(in);
        (host.*Show)(id);
    }
    return self;
}

} // namespace

void installButtonClass(Machine& machine)
{
    ClassObject* button = machine.defineClass("Button", machine.classes().object);
    Library::defineClassSide(machine, button, {{"new", buttonNew}});
    Library::define(button, {{"open", buttonShow<&Host::showButton>}, {"close", buttonShow<&Host::hideButton>}});
}

} // namespace zeb::script::vm

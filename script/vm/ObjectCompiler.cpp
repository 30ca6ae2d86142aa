#include "script/vm/ObjectCompiler.h"

#include "script/front/Compiler.h"
#include "script/vm/BufferObject.h"
#include "script/vm/Library.h"
#include "script/vm/Run.h"

#include <algorithm>

namespace zeb::script::vm {

ObjectCompiler::ObjectCompiler(Run& run, Object& object)
    : m_run(run)
    , m_object(object)
{
}

bool ObjectCompiler::hasScriptVariable(Name name) const
{
    return m_object.variables().contains(name)
        || std::find(m_variables.begin(), m_variables.end(), name) != m_variables.end();
}

void ObjectCompiler::declareScriptVariable(Name name)
{
    m_variables.push_back(name);
}

void ObjectCompiler::installMethod(std::unique_ptr<CompiledMethod> method)
{
    if (method != nullptr)
        m_methods.push_back(std::move(method));
}

bool ObjectCompiler::compileInto(std::string_view text)
{
    Compiler compiler;
    if (!compiler.compile(text) || !compiler.install(*this).empty())
        return false;
    for (const Name name : m_variables)
        m_object.variables().try_emplace(name, Value::integer(0));
    for (std::unique_ptr<CompiledMethod>& method : m_methods) {
        const Name selector = method->selector();
        m_object.setOwnMethod(selector, MethodEntry{nullptr, m_run.keepMethod(std::move(method))});
    }
    m_methods.clear();
    m_run.machine().methodsChanged();
    return true;
}

namespace {

Value objectCompile(Interpreter& in, const Value& self, const Arguments& args)
{
    Machine& machine = in.machine();
    Object* object = machine.object(self);
    const std::string* text = BufferObject::textOf(machine, args[0]);
    Run* run = in.run();
    // Only into an object of this run: the methods' code lives as long as the run does, so an
    // object that could outlive it (a class, another run's object) would keep dangling methods.
    if (object == nullptr || text == nullptr || run == nullptr
        || machine.heap().ownerOf(self.asHandle()) != run->owner())
        return Value::integer(0);
    ObjectCompiler compiler(*run, *object);
    return Value::truth(compiler.compileInto(std::string(*text)));
}

} // namespace

void installCompilePrimitive(Machine& machine)
{
    Library::define(machine.classes().object, {{"compile:", objectCompile}});
}

} // namespace zeb::script::vm

#include "script/vm/StringDialogs.h"

#include "script/vm/BlockingSection.h"
#include "script/vm/Library.h"
#include "script/vm/Run.h"

namespace zeb::script::vm {

namespace {

enum class Box : std::uint8_t { Alert, Notify, Question };

// Answers what the user chose: true for Yes.
bool show(Interpreter& in, const Value& self, Box box)
{
    Run* run = in.run();
    if (run == nullptr || self.tag() != Tag::String)
        return false;
    Host& host = run->host();
    // A copy: the string value is the machine's, and nothing of it is touched while unlocked.
    const std::string text = self.asText(); // NOLINT(performance-unnecessary-copy-initialization)
    BlockingSection section(in);
    switch (box) {
    case Box::Alert:
        host.alert(text);
        return false;
    case Box::Notify:
        host.notify(text);
        return false;
    case Box::Question:
        return host.question(text);
    }
    return false;
}

Value stringAlert(Interpreter& in, const Value& self, const Arguments&)
{
    show(in, self, Box::Alert);
    return self;
}

Value stringNotify(Interpreter& in, const Value& self, const Arguments&)
{
    show(in, self, Box::Notify);
    return self;
}

Value stringQuestion(Interpreter& in, const Value& self, const Arguments&)
{
    return Value::truth(show(in, self, Box::Question));
}

} // namespace

void installStringDialogs(Machine& machine)
{
    Library::define(machine.classes().string,
                    {{"alert", stringAlert}, {"notify", stringNotify}, {"question", stringQuestion}});
}

} // namespace zeb::script::vm

// Arbitrary scripts compiled and run with a step budget: no crash, no hang past the budget.
#include "script/front/Compiler.h"
#include "script/vm/Run.h"
#include "testsupport/FuzzCheck.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace zeb::script;

namespace {

// Printed text is kept only up to a bound, so a script printing in a loop stays small.
class BoundedSink : public vm::OutputSink
{
public:
    // Script threads and alarms of a run write from their own threads.
    void write(std::string_view text) override { m_size.fetch_add(text.size(), std::memory_order_relaxed); }

private:
    std::atomic<std::size_t> m_size{0};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static vm::Machine machine;
    // Arbitrary scripts must not start programs nor open files: without their globals, System
    // and Stream cannot be reached.
    static const bool sealed = (machine.setGlobal(SymbolTable::intern("System"), vm::Value()),
                                machine.setGlobal(SymbolTable::intern("Stream"), vm::Value()), true);
    (void)sealed;
    Compiler compiler;
    if (!compiler.compile(std::string_view(reinterpret_cast<const char*>(data), size)))
        return 0;
    BoundedSink sink;
    {
        vm::Run run(machine, sink);
        compiler.install(run);
        const std::size_t objects = machine.heap().size();
        run.runMain({std::chrono::seconds(5), 200000});
        zeb::testsupport::check(machine.heap().size() >= objects - 1);
    }
    return 0;
}

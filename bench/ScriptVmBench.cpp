// Run speed of the script machine: a recursive fib(27) and a loop of 1,000,000 sends of a
// script method, each compiled once and run from main on a fresh run. The same programs in
// Python 3 (bench/script_vm_compare.sh) give the ratio to chase.
//
//   build/bench/bench_script_vm

#include "script/front/Compiler.h"
#include "script/vm/Run.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace zeb::script;

const char* const kFib = "fib: n {\n"
                         "    if (n < 2) return n;\n"
                         "    return (self fib: n - 1) + (self fib: n - 2);\n"
                         "}\n"
                         "main { (self fib: 27) print; }\n";

const char* const kSends = "step: x { return x + 1; }\n"
                           "main {\n"
                           "    local i, total;\n"
                           "    total = 0;\n"
                           "    for (i = 0; i < 1000000; i++) total = self step: total;\n"
                           "    total print;\n"
                           "}\n";

void runProgram(benchmark::State& state, const char* text, const char* expected)
{
    vm::Machine machine;
    Compiler compiler;
    if (!compiler.compile(text)) {
        state.SkipWithError("the program does not compile");
        return;
    }
    for (auto _ : state) {
        vm::StringSink sink;
        vm::Run run(machine, sink);
        compiler.install(run);
        run.runMain({});
        if (sink.text() != expected)
            state.SkipWithError(("wrong answer: " + sink.text()).c_str());
    }
}

void fib27(benchmark::State& state)
{
    runProgram(state, kFib, "196418");
}

void millionSends(benchmark::State& state)
{
    runProgram(state, kSends, "1000000");
}

} // namespace

BENCHMARK(fib27)->Unit(benchmark::kMillisecond);
BENCHMARK(millionSends)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

// Run speed of the script machine on six programs, each compiled once and run from main on a
// fresh run: a recursive fib(27), 3,000,000 steps of Number arithmetic, 1,000,000 sends of a
// script method, 1,000,000 array stores and reads, a Buffer built from 100,000 pieces and a
// string grown by 20,000 concatenations. The same programs in Lua 5.4 and Python 3
// (bench/script_vm_compare.sh) give the ratios to chase.
//
// Every benchmark reports the process's peak resident size after its first run (one iteration)
// and after its last (counters rss_first_kb, rss_peak_kb): on the string programs they stay equal
// when the runs free what they made. Run one program alone to read its own peak:
//
//   build/bench/bench_script_vm
//   build/bench/bench_script_vm --benchmark_filter='^concatenations$'

#include "script/front/Compiler.h"
#include "script/front/SymbolTable.h"
#include "script/vm/Run.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <sys/resource.h>

namespace {

using namespace zeb::script;

const char* const kFib = "fib: n {\n"
                         "    if (n < 2) return n;\n"
                         "    return (self fib: n - 1) + (self fib: n - 2);\n"
                         "}\n"
                         "main { (self fib: 27) print; }\n";

const char* const kArithmetic = "main {\n"
                                "    local i, s;\n"
                                "    s = 0;\n"
                                "    for (i = 0; i < 3000000; i++) s = s + i / 3;\n"
                                "    s print;\n"
                                "}\n";

const char* const kSends = "step: x { return x + 1; }\n"
                           "main {\n"
                           "    local i, total;\n"
                           "    total = 0;\n"
                           "    for (i = 0; i < 1000000; i++) total = self step: total;\n"
                           "    total print;\n"
                           "}\n";

// A million stores, then a million reads of what was stored.
const char* const kArrays = "main {\n"
                            "    local a, i, total;\n"
                            "    a = Array new: 1000000;\n"
                            "    for (i = 0; i < 1000000; i++) a[i] = i;\n"
                            "    total = 0;\n"
                            "    for (i = 0; i < 1000000; i++) total = total + a[i];\n"
                            "    total print;\n"
                            "}\n";

// Room for the 488,890 digits of 0 to 99,999 with their terminating zero.
const char* const kBuffer = "main {\n"
                            "    local b, i;\n"
                            "    b = Buffer new: 488891;\n"
                            "    for (i = 0; i < 100000; i++) b + i;\n"
                            "    b print;\n"
                            "}\n";

const char* const kConcatenations = "main {\n"
                                    "    local s, i;\n"
                                    "    s = \"\";\n"
                                    "    for (i = 0; i < 20000; i++) s = s + \"0123456789\";\n"
                                    "    s size print;\n"
                                    "}\n";

long peakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void runProgram(benchmark::State& state, const char* text, const std::string& expected)
{
    // Google Benchmark calls each program several times, first for a single iteration.
    static std::map<const char*, long> firstKilobytes;
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
        if (sink.text() != expected) {
            state.SkipWithError(("wrong answer: " + sink.text().substr(0, 200)).c_str());
            break;
        }
    }
    firstKilobytes.try_emplace(text, peakResidentKilobytes());
    state.counters["rss_first_kb"] = static_cast<double>(firstKilobytes[text]);
    state.counters["rss_peak_kb"] = static_cast<double>(peakResidentKilobytes());
}

void fib27(benchmark::State& state)
{
    runProgram(state, kFib, "196418");
}

void arithmetic(benchmark::State& state)
{
    runProgram(state, kArithmetic, "1.5e+12");
}

void millionSends(benchmark::State& state)
{
    runProgram(state, kSends, "1000000");
}

void arrays(benchmark::State& state)
{
    runProgram(state, kArrays, "5e+11");
}

void bufferBuild(benchmark::State& state)
{
    vm::Machine machine;
    const vm::Value bufferClass = machine.global(SymbolTable::intern("Buffer"));
    if (machine.lookup(bufferClass, SymbolTable::intern("new:")) == nullptr) {
        state.SkipWithError("Buffer new: is not in this build's library yet");
        return;
    }
    std::string expected;
    for (int i = 0; i < 100000; ++i)
        expected += std::to_string(i);
    runProgram(state, kBuffer, expected);
}

void concatenations(benchmark::State& state)
{
    runProgram(state, kConcatenations, "200000");
}

} // namespace

BENCHMARK(fib27)->Unit(benchmark::kMillisecond);
BENCHMARK(arithmetic)->Unit(benchmark::kMillisecond);
BENCHMARK(millionSends)->Unit(benchmark::kMillisecond);
BENCHMARK(arrays)->Unit(benchmark::kMillisecond);
BENCHMARK(bufferBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(concatenations)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

// Compile speed of the script compiler: a generated 10,000-line test script scanned, parsed,
// compiled and installed, as the automatic test document does before every run. Reports lines per
// second (target: at least one million).
//
//   build/bench/bench_script_compile

#include "script/front/Compiler.h"
#include "script/front/ScriptImage.h"
#include "text/Format.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kMethods = 100;
constexpr int kLinesPerMethod = 100;

// 10,001 lines: methods of 100 lines in the mix a test script has: declarations, sends, assignments, tests,
// loops, literals and comments.
std::string generatedScript()
{
    std::string text = "local passed, failed;\n";
    for (int m = 0; m < kMethods; ++m) {
        zeb::text::appendFormat(text, "check%d: port with: limit {\n    local i, answer, fields;\n", m);
        for (int line = 3; line < kLinesPerMethod - 1; line += 6) {
            text += "    answer = port send: \"$PKVR,ID\\r\\n\" timeout: 2500; // ask the receiver\n";
            text += "    fields = answer split: ',';\n";
            text += "    if (fields size >= 3 && fields[1] == \"ID\") passed += 1; else failed++;\n";
            text += "    for (i = 0; i < limit; i++) { self log: i * 0x10 + 2.5; }\n";
            text += "    while (answer isEmpty) answer = port receive;\n";
            text += "    [1, 'a', \"text\", 16rFF] printOn: self stream;\n";
        }
        text += "    return passed;\n}\n";
    }
    return text;
}

void compileScript(benchmark::State& state)
{
    const std::string text = generatedScript();
    const auto lines = static_cast<double>(std::count(text.begin(), text.end(), '\n'));
    for (auto _ : state) {
        zeb::script::Compiler compiler;
        if (!compiler.compile(text)) {
            state.SkipWithError(compiler.errorText().c_str());
            return;
        }
        zeb::script::ScriptImage image;
        benchmark::DoNotOptimize(compiler.install(image));
        benchmark::DoNotOptimize(image.methodCount());
    }
    state.counters["lines/s"]
        = benchmark::Counter(lines * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["lines"] = lines;
}

BENCHMARK(compileScript)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

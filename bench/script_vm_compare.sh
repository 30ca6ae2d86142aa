#!/usr/bin/env bash
# Times the script machine's benchmark programs against the same programs in Python 3 and
# prints the ratios (machine time / Python time; below 1 is faster).
#   bench/script_vm_compare.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
bench="$build/bench/bench_script_vm"
[[ -x $bench ]] || { echo "build bench_script_vm first: $bench is missing" >&2; exit 1; }

python_time() {
  python3 - "$1" <<'PY'
import sys, time
def fib(n):
    return n if n < 2 else fib(n - 1) + fib(n - 2)
def step(x):
    return x + 1
def sends():
    total = 0
    for _ in range(1000000):
        total = step(total)
    return total
program = {"fib27": lambda: fib(27), "millionSends": sends}[sys.argv[1]]
best = None
for _ in range(3):
    start = time.perf_counter()
    program()
    elapsed = time.perf_counter() - start
    best = elapsed if best is None or elapsed < best else best
print(best * 1000)
PY
}

json=$("$bench" --benchmark_format=json --benchmark_repetitions=3 --benchmark_report_aggregates_only=true)
for name in fib27 millionSends; do
  ours=$(printf '%s' "$json" | python3 -c "import json,sys; d=json.load(sys.stdin); print([b['real_time'] for b in d['benchmarks'] if b['name']=='${name}_min' or b['name']=='${name}_mean'][0])")
  theirs=$(python_time "$name")
  python3 -c "print(f'$name: machine {float($ours):.1f} ms, python3 {float($theirs):.1f} ms, ratio {float($ours)/float($theirs):.2f}')"
done

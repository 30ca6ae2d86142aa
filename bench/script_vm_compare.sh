#!/usr/bin/env bash
# Times the script machine's six benchmark programs against the same programs in Python 3 and
# Lua 5.4, each program in a process of its own, and prints per program the best processor time
# of each language, the peak resident size of its process and the ratios (machine time / other
# time; below 1 is faster). Processor time, not elapsed time: on a shared machine it depends far
# less on what else runs. Lua is left out with a note when lua5.4 is not installed.
#   bench/script_vm_compare.sh [BUILD_DIR] [REPETITIONS]
# PYTHON and LUA name other interpreters (default python3 and lua5.4).
set -euo pipefail
build=${1:-build}
repetitions=${2:-5}
bench="$build/bench/bench_script_vm"
[[ -x $bench ]] || { echo "build bench_script_vm first: $bench is missing" >&2; exit 1; }
python=${PYTHON:-python3}
lua=${LUA:-lua5.4}
if ! command -v "$lua" >/dev/null; then
  echo "note: $lua is not installed (Debian: apt-get install lua5.4); comparing with Python only" >&2
  lua=
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each program takes its name and a repetition count, runs that many times and prints its best
# processor time in milliseconds. The work matches the script programs in bench/ScriptVmBench.cpp: the
# same loop counts, sends as method calls, a buffer filled with the printed integers.
cat >"$work/programs.py" <<'PY'
import sys, time

def fib(n):
    return n if n < 2 else fib(n - 1) + fib(n - 2)

def arithmetic():
    s = 0
    for i in range(3000000):
        s = s + i / 3
    return s

class Counter:
    def step(self, x):
        return x + 1

def sends():
    counter = Counter()
    total = 0
    for i in range(1000000):
        total = counter.step(total)
    return total

def arrays():
    a = [None] * 1000000
    for i in range(1000000):
        a[i] = i
    total = 0
    for i in range(1000000):
        total = total + a[i]
    return total

def buffer_build():
    pieces = []
    for i in range(100000):
        pieces.append(str(i))
    return "".join(pieces)

def concatenations():
    s = ""
    for i in range(20000):
        s = s + "0123456789"
    return len(s)

programs = {"fib27": lambda: fib(27), "arithmetic": arithmetic, "millionSends": sends,
            "arrays": arrays, "bufferBuild": buffer_build, "concatenations": concatenations}
program = programs[sys.argv[1]]
best = None
for _ in range(int(sys.argv[2])):
    start = time.process_time()
    program()
    elapsed = time.process_time() - start
    best = elapsed if best is None or elapsed < best else best
print(best * 1000)
PY

cat >"$work/programs.lua" <<'LUA'
local function fib(n)
  if n < 2 then return n end
  return fib(n - 1) + fib(n - 2)
end

local function arithmetic()
  local s = 0
  for i = 0, 2999999 do s = s + i / 3 end
  return s
end

local counter = {}
function counter:step(x) return x + 1 end

local function sends()
  local total = 0
  for i = 0, 999999 do total = counter:step(total) end
  return total
end

local function arrays()
  local a = {}
  for i = 1, 1000000 do a[i] = i end
  local total = 0
  for i = 1, 1000000 do total = total + a[i] end
  return total
end

local function bufferBuild()
  local pieces = {}
  for i = 0, 99999 do pieces[#pieces + 1] = tostring(i) end
  return table.concat(pieces)
end

local function concatenations()
  local s = ""
  for i = 0, 19999 do s = s .. "0123456789" end
  return #s
end

local programs = {fib27 = function() return fib(27) end, arithmetic = arithmetic, millionSends = sends,
                  arrays = arrays, bufferBuild = bufferBuild, concatenations = concatenations}
local program = programs[arg[1]]
local best
for _ = 1, tonumber(arg[2]) do
  local start = os.clock()
  program()
  local elapsed = os.clock() - start
  if best == nil or elapsed < best then best = elapsed end
end
print(best * 1000)
LUA

"$python" - "$bench" "$repetitions" "$python" "$work/programs.py" "$lua" "$work/programs.lua" <<'PY'
import json, os, subprocess, sys

bench, repetitions, python, python_programs, lua, lua_programs = sys.argv[1:]
names = ["fib27", "arithmetic", "millionSends", "arrays", "bufferBuild", "concatenations"]

timer = "/usr/bin/time" if os.access("/usr/bin/time", os.X_OK) else None
peak_file = os.path.join(os.path.dirname(python_programs), "peak")

def measured(command):
    """The process's standard output and its peak resident size in kB (None without GNU time).
    GNU time starts the program from its own small process: a child of this Python would
    inherit Python's size as its starting peak."""
    wrapped = [timer, "-f", "%M", "-o", peak_file] + command if timer else command
    done = subprocess.run(wrapped, stdout=subprocess.PIPE, text=True)
    if done.returncode != 0:
        sys.exit(f"{command[0]} failed with exit code {done.returncode}")
    if not timer:
        return done.stdout, None
    with open(peak_file) as peak:
        return done.stdout, int(peak.read().split()[-1])

def machine(name):
    output, peak = measured([bench, f"--benchmark_filter=^{name}$", "--benchmark_format=json",
                             f"--benchmark_repetitions={repetitions}"])
    runs = [b for b in json.loads(output)["benchmarks"] if b.get("run_type") == "iteration"]
    if not runs or any(b.get("error_occurred") for b in runs):
        message = runs[0].get("error_message", "no result") if runs else "no result"
        return None, peak, message
    scale = {"ms": 1, "us": 1e-3, "ns": 1e-6, "s": 1e3}[runs[0]["time_unit"]]
    return min(b["cpu_time"] for b in runs) * scale, peak, runs[0].get("rss_first_kb")

def other(interpreter, programs, name):
    output, peak = measured([interpreter, programs, name, repetitions])
    return float(output), peak

print(f"best of {repetitions} runs; peak resident size of each program's process in kB"
      + ("" if timer else " (unknown: /usr/bin/time, Debian package time, is missing)"))
print(f"{'program':<15}{'machine ms':>11}{'python ms':>11}{'lua ms':>9}{'vs python':>11}{'vs lua':>8}"
      f"{'machine kB':>12}{'python kB':>11}{'lua kB':>9}")
for name in names:
    ours, our_peak, note = machine(name)
    theirs, their_peak = other(python, python_programs, name)
    lua_time, lua_peak = other(lua, lua_programs, name) if lua else (None, None)
    if ours is None:
        print(f"{name:<15}{'skipped':>11}{theirs:>11.1f}  ({note})")
        continue
    ratio = lambda other: f"{ours / other:.2f}" if other else "-"
    print(f"{name:<15}{ours:>11.1f}{theirs:>11.1f}{(f'{lua_time:.1f}' if lua_time else '-'):>9}"
          f"{ratio(theirs):>11}{ratio(lua_time):>8}{(our_peak or '-'):>12}{(their_peak or '-'):>11}{(lua_peak or '-'):>9}")
PY

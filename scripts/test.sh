#!/usr/bin/env bash
# Installs what is missing, builds and runs every test:
#   1. the whole suite in a normal build (benchmarks built, not run);
#   2. the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer;
#   3. the threading tests under ThreadSanitizer;
#   4. every fuzz target for a short while (clang + libFuzzer); only the fuzz targets are built.
# Qt runs offscreen. Options:
#   --quick        only step 1
#   --no-fuzz      skip step 4
#   --fuzz-seconds N   time per fuzz target (default 10, or ZEB500_FUZZ_SECONDS)
# Build trees: build/, build-asan/, build-tsan/, build-fuzz/ beside this script's folder.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quick=0
fuzz=1
fuzz_seconds=${ZEB500_FUZZ_SECONDS:-10}
while [[ $# -gt 0 ]]; do
  case "$1" in
    --quick) quick=1 ;;
    --no-fuzz) fuzz=0 ;;
    --fuzz-seconds) fuzz_seconds=$2; shift ;;
    *) echo "unknown option: $1 (see the comment at the top of $0)" >&2; exit 2 ;;
  esac
  shift
done

export QT_QPA_PLATFORM=offscreen
export ZEB500_JOBS=${ZEB500_JOBS:-$(nproc)}
# Tests must never touch the user's own data folder or settings.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" ZEB500_HOME="$scratch/home"

passed=0
failed=0
ctest_prefix=()
failures=()

timings=()
stage_name=""
stage_start=$SECONDS
# step NAME: starts a stage; the time each stage took is listed at the end.
step() {
  end_stage
  stage_name=$*
  stage_start=$SECONDS
  printf '\n==== ZEB500 tests: %s ====\n' "$*"
}
end_stage() {
  [[ -n "$stage_name" ]] || return 0
  local took=$((SECONDS - stage_start))
  timings+=("$(printf '%4dm%02ds  %s' $((took / 60)) $((took % 60)) "$stage_name")")
  stage_name=""
}

# run_ctest DIR NAME [ctest args...]: runs CTest and adds its counts to the totals.
run_ctest() {
  local dir=$1 name=$2
  shift 2
  local log="$scratch/ctest-$name.log"
  (cd "$dir" && ${ctest_prefix[@]+"${ctest_prefix[@]}"} ctest --output-on-failure -j "$ZEB500_JOBS" "$@") 2>&1 | tee "$log"
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [[ -z "$line" ]]; then
    failed=$((failed + 1)); failures+=("$name: ctest did not run")
    return
  fi
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
  [[ "$bad" -eq 0 ]] || failures+=("$name: $bad test(s) failed")
}

# fuzz_one PROGRAM CORPUS: fuzzes a copy of the seed corpus; leaves "passed" in its work
# folder when nothing was found.
fuzz_one() {
  local program=$1 corpus=$2
  local work="$scratch/fuzz-$(basename "$program")"
  mkdir -p "$work/corpus" "$work/findings"
  [[ -d "$corpus" ]] && cp -r "$corpus"/. "$work/corpus/" 2>/dev/null
  if (cd "$work/findings" && "$program" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=0 "$work/corpus" >"$work/log" 2>&1); then
    touch "$work/passed"
  fi
}

build() {
  local dir=$1 name=$2
  shift 2
  if ! "$root/scripts/build.sh" "$dir" "$@"; then
    failed=$((failed + 1)); failures+=("$name: build failed")
    return 1
  fi
}

step "installing missing packages"
"$root/scripts/install-deps.sh" || exit 1

step "normal build"
if build "$root/build" normal -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
  run_ctest "$root/build" normal
fi

if [[ $quick -eq 0 ]]; then
  step "AddressSanitizer + UndefinedBehaviorSanitizer"
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
  if build "$root/build-asan" asan -DCMAKE_BUILD_TYPE=Debug -DZEB_SANITIZE=address -DZEB_BUILD_BENCH=OFF; then
    run_ctest "$root/build-asan" asan
  fi

  step "ThreadSanitizer (threading tests)"
  export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
  if ZEB500_TARGETS=threads_tests build "$root/build-tsan" tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEB_SANITIZE=thread -DZEB_BUILD_APP=OFF -DZEB_BUILD_BENCH=OFF; then
    # Some kernels randomise addresses more than ThreadSanitizer's memory layout allows;
    # running without address randomisation sidesteps that.
    if command -v setarch >/dev/null && setarch "$(uname -m)" -R true 2>/dev/null; then
      ctest_prefix=(setarch "$(uname -m)" -R)
    fi
    run_ctest "$root/build-tsan" tsan -L threads
    ctest_prefix=()
  fi

  if [[ $fuzz -eq 1 ]]; then
    step "fuzz targets, ${fuzz_seconds}s each"
    if CC=clang CXX=clang++ ZEB500_TARGETS=fuzzers build "$root/build-fuzz" fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEB_FUZZ=ON; then
      # One fuzz target per core at a time; each leaves its verdict in its work folder.
      names=()
      while IFS='|' read -r program corpus; do
        [[ -n "$program" ]] || continue
        while [[ $(jobs -rp | wc -l) -ge $ZEB500_JOBS ]]; do wait -n; done
        names+=("$(basename "$program")")
        fuzz_one "$program" "$corpus" &
      done <"$root/build-fuzz/fuzzers.txt"
      wait
      for name in "${names[@]}"; do
        work="$scratch/fuzz-$name"
        echo "-- $name"
        if [[ -f "$work/passed" ]]; then
          passed=$((passed + 1))
          grep -E '^#[0-9]+.*DONE' "$work/log" | tail -n 1
        else
          failed=$((failed + 1)); failures+=("fuzz: $name found a fault")
          tail -n 60 "$work/log"
          mkdir -p "$root/fuzz-findings" && cp "$work/findings"/* "$root/fuzz-findings/" 2>/dev/null
          echo "the failing input is saved in $root/fuzz-findings/"
        fi
      done
    fi
  fi
fi

end_stage
echo
printf 'Time per stage:\n'
printf '  %s\n' "${timings[@]}"
printf '  %4dm%02ds  total\n' $((SECONDS / 60)) $((SECONDS % 60))
echo
if [[ ${#failures[@]} -gt 0 ]]; then
  printf 'FAILED: %s\n' "${failures[@]}"
fi
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]

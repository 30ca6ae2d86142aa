#!/usr/bin/env bash
# Lines of code and of tests per library, and the ratio of tests to code.
# A line counts when it is neither blank nor a comment-only line; .cpp and .h files under a
# tests/ or fuzz/ folder are tests, every other .cpp and .h file tracked by git is code.
# Usage: scripts/code-stats.sh [--check MIN MAX]   (--check: exit 1 when the ratio is outside)
set -euo pipefail
cd "$(dirname "$0")/.."
check_min="" check_max=""
if [[ ${1:-} == --check ]]; then check_min=$2 check_max=$3; fi

# One line per library: name, code lines, test lines.
per_library() {
  git ls-files -- '*.cpp' '*.h' | awk '
  {
    path = $0
    n = split(path, parts, "/")
    lib = ""
    is_test = 0
    for (i = 1; i < n; i++) {
      if (parts[i] == "tests" || parts[i] == "fuzz") { is_test = 1; break }
      lib = lib (lib == "" ? "" : "/") parts[i]
    }
    if (lib == "") lib = "."
    in_block = 0
    while ((getline line < path) > 0) {
      gsub(/^[ \t]+|[ \t\r]+$/, "", line)
      if (in_block) {
        at = index(line, "*/")
        if (!at) continue
        in_block = 0
        line = substr(line, at + 2)
        gsub(/^[ \t]+/, "", line)
      }
      if (line == "" || line ~ /^\/\//) continue
      if (line ~ /^\/\*/) {
        if (!index(substr(line, 3), "*/")) in_block = 1
        continue
      }
      if (is_test) tests[lib]++; else code[lib]++
      libs[lib] = 1
    }
    close(path)
  }
  END { for (l in libs) printf "%s %d %d\n", l, code[l], tests[l] }'
}

per_library | sort | awk -v check_min="$check_min" -v check_max="$check_max" '
BEGIN { printf "%-28s %8s %8s %7s\n", "library", "code", "tests", "ratio" }
{
  printf "%-28s %8d %8d %7s\n", $1, $2, $3, ($2 ? sprintf("%.2f", $3 / $2) : "-")
  all_code += $2; all_tests += $3
}
END {
  ratio = all_code ? all_tests / all_code : 0
  printf "%-28s %8d %8d %7.2f\n", "total", all_code, all_tests, ratio
  if (check_min != "" && (ratio < check_min + 0 || ratio > check_max + 0)) {
    printf "tests/code ratio %.2f is outside %s..%s\n", ratio, check_min, check_max > "/dev/stderr"
    exit 1
  }
}'

#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing and running ZEB500 needs; with --run,
# only those that building and running the workbench need.
# Non-interactive and idempotent: when everything is there it only checks and returns.
# Runs as root, or through sudo for any other user.
set -euo pipefail

# What building and running the workbench and the simulator need.
PACKAGES=(
  # Toolchain and build
  g++ cmake ninja-build pkg-config
  # Qt 6 (Widgets) and what its CMake files look for
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # Libraries
  nlohmann-json3-dev libcli11-dev
  # Text in Qt windows, also offscreen
  fonts-dejavu-core
  # The start script waits for the simulated receiver's port
  netcat-openbsd
  # Rebuilds of unchanged sources come from the cache
  ccache
)
# What the tests, fuzzing and style checks need besides; "--run" leaves these out.
TEST_PACKAGES=(
  git
  libgtest-dev libgmock-dev libbenchmark-dev
  # Fuzzing and sanitizers with clang
  clang libclang-rt-14-dev llvm
  # Style checks
  clang-format clang-tidy
  # Real peers for the transport tests
  socat curl
  # The French locale sources, compiled by the tests that run under a decimal comma
  locales
  # bench/script_vm_compare.sh: the script machine's programs in Lua and Python, and the peak
  # memory of each run
  lua5.4 python3 time
)
case "${1:-}" in
  --run) ;;
  "") PACKAGES+=("${TEST_PACKAGES[@]}") ;;
  *) echo "usage: $0 [--run]   (--run: only what building and running need)" >&2; exit 2 ;;
esac

missing=()
for package in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

echo "ZEB500: installing ${#missing[@]} missing package(s): ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "ZEB500: these packages are missing and sudo is not available; as root, run: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "ZEB500: packages installed"

#!/usr/bin/env bash
# Builds the link benchmark and runs it against camsim on a pty (README, "Benchmarks").
# Arguments go to the benchmark, e.g. --baud 9600 --runs 5 --check --verbose.
# With "startup" first, the start-up benchmark runs instead (arguments: --runs N --baud B
# --desktops offscreen,x11,openbox,icewm --check --verbose).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=${BUILD_DIR:-build}
jobs=$(nproc 2>/dev/null || echo 2)
echo "== configuring $build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
echo "== building the benchmark in $build"
bench=link_bench
if [ "${1:-}" = "startup" ]; then
  bench=startup_bench
  shift
fi
cmake --build "$build" -j "$jobs" --target "$bench" camsim
echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
exec "$build/bench/$bench" "$@"

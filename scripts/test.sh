#!/usr/bin/env bash
# Builds everything and runs every test: once in the normal build (with the window front end),
# and once more under AddressSanitizer and UndefinedBehaviorSanitizer (without it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/build.sh
echo "== building the sanitizer build (address, undefined) in build-asan"
BUILD_DIR=build-asan bash scripts/build.sh -DORVADEX_SANITIZE=address,undefined -DORVADEX_GUI=OFF

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== running the tests under the sanitizers"
(cd build-asan && ctest --output-on-failure -j "$jobs" --timeout 900)
echo "== running the tests"
cd build
ctest --output-on-failure -j "$jobs" --timeout 600

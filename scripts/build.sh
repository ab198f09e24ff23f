#!/usr/bin/env bash
# Configures and builds the tree into build/ (or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
jobs=$(nproc 2>/dev/null || echo 2)
echo "== configuring $build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
echo "== building $build with $jobs jobs"
cmake --build "$build" -j "$jobs"

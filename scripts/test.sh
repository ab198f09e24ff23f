#!/usr/bin/env bash
# Builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
jobs=$(nproc 2>/dev/null || echo 2)
echo "== running the tests"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" --timeout 600

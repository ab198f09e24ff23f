#!/usr/bin/env bash
# Rewrites resources/forms/frmMain.txt from resources/forms/frmMain.desc, building the layout
# generator into build/ (or $BUILD_DIR) first, configuring that folder if it is not yet.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
jobs=$(nproc 2>/dev/null || echo 2)
if [ ! -f "$build/CMakeCache.txt" ]; then
  bash scripts/deps.sh
  echo "== configuring $build"
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
echo "== building the layout generator in $build"
cmake --build "$build" -j "$jobs" --target frmmain_layout_gen >/dev/null
"$build/resources/frmmain_layout_gen" resources/forms/frmMain.desc resources/messages/en.txt resources/forms/frmMain.txt
echo "== resources/forms/frmMain.txt written"

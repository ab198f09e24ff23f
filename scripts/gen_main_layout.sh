#!/usr/bin/env bash
# Rewrites resources/forms/frmMain.txt from resources/forms/frmMain.desc.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake --build "$build" --target frmmain_layout_gen >/dev/null
"$build/resources/frmmain_layout_gen" resources/forms/frmMain.desc resources/messages/en.txt resources/forms/frmMain.txt
echo "== resources/forms/frmMain.txt written"

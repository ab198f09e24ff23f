#!/usr/bin/env bash
# Builds the tool and runs it against the simulated camera: camsim serves the camera on a
# pseudo-terminal linked as COM1 in a ports folder of its own, and orvadex is started with
# that folder, so the whole tool works without a camera. orvadex needs a display.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "orvadex: no display to show its windows on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run this from a desktop session." >&2
  exit 1
fi
bash scripts/deps.sh
bash scripts/build.sh
build=${BUILD_DIR:-build}
ports="$PWD/$build/run/ports"
mkdir -p "$ports"
export ORVADEX_PORTS_DIR="$ports"
echo "== starting the simulated camera (camsim) as COM1"
"$build/sim/camsim" --link 1 --ports-dir "$ports" > "$build/run/camsim.path" &
camsim=$!
trap 'kill "$camsim" 2>/dev/null || true; wait "$camsim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -e "$ports/com1" ] && break
  kill -0 "$camsim" 2>/dev/null || { echo "camsim did not start" >&2; exit 1; }
  sleep 0.1
done
echo "== starting orvadex (the simulated camera is on $(cat "$build/run/camsim.path"))"
"$build/app/orvadex"

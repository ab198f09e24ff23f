#!/usr/bin/env bash
# Runs every test of both builds over and over at full parallelism while other processes open
# and close pseudo-terminals as fast as they can, so that a test that depends on an idle machine,
# on a pty number, a folder or a display of its own fails within the rounds.
#
#   bash scripts/stress_tests.sh [ROUNDS] [BUILD_DIR...]
#
# ROUNDS (default 20): each test runs up to that many times and stops at its first failure
# (ctest --repeat until-fail). BUILD_DIR: the builds to run (default build and build-asan, as
# made by scripts/test.sh). CHURNERS (default 2) sets how many pty churners run beside them.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-20}
shift || true
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(build build-asan)
jobs=$(nproc 2>/dev/null || echo 2)

churners=()
stop_churners() {
  for pid in "${churners[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap stop_churners EXIT
for _ in $(seq "${CHURNERS:-2}"); do
  python3 -c '
import os, random, time
while True:
    held = [os.openpty() for _ in range(random.randint(1, 4))]
    time.sleep(random.random() * 0.002)
    for m, s in held:
        os.close(s)
        os.close(m)
' &
  churners+=($!)
done
echo "== ${#churners[@]} pty churners running (pids ${churners[*]}); load: $(cut -d' ' -f1-3 /proc/loadavg)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for b in "${builds[@]}"; do
  echo "== $b: every test up to $rounds times, $jobs at a time"
  start=$(date +%s)
  if (cd "$b" && ctest -j "$jobs" --timeout 900 --repeat until-fail:"$rounds" --output-on-failure); then
    echo "== $b: passed $rounds rounds in $(( $(date +%s) - start )) s; load: $(cut -d' ' -f1-3 /proc/loadavg)"
  else
    echo "== $b: FAILED (see above)"
    status=1
  fi
done
exit $status

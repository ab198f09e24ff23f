#!/usr/bin/env bash
# The private X server of the window-manager runs (scripts/run_under_window_manager.sh): the
# screen asked for, no client in without the run's cookie, every client with it let in (also one
# that comes as another leaves), the command's status passed on, and nothing left behind, neither
# at the end nor when the script is killed outright (a test's time-out): no process of the run,
# no folder.
#   private_x_server_test.sh SCRIPT
set -u
script=$1
tmp=$(mktemp -d "${TMPDIR:-/tmp}/private-x-test-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL ($case): $*" >&2; failures=$((failures + 1)); }

# Live processes started by a run under $tmp (the folder is in each one's arguments or
# environment); zombies that nobody has reaped yet have ended.
leftovers() {
  local file pid
  for file in $(grep -lsF -f <(printf '%s\n' "$tmp/orvadex-") /proc/[0-9]*/cmdline /proc/[0-9]*/environ); do
    pid=${file#/proc/}
    pid=${pid%%/*}
    [ "$pid" = $$ ] && continue
    read -r _ _ state _ <"/proc/$pid/stat" 2>/dev/null || continue
    [ "$state" != Z ] && echo "$pid $(tr '\0' ' ' <"/proc/$pid/cmdline")"
  done | sort -u
}
# Waits (60 s at most: a guard, not a measure) for the run's processes and folder to go.
expect_all_gone() {
  local left=
  for _ in $(seq 600); do
    left=$(leftovers)
    [ -z "$left" ] && ! compgen -G "$tmp/orvadex-*" >/dev/null && return
    sleep 0.1
  done
  fail "left behind: ${left:-no process} $(compgen -G "$tmp/orvadex-*")"
}

# Names the script refuses, with what it says.
while IFS='|' read -r case screen wm message; do
  out=$(ORVADEX_SCREEN=$screen TMPDIR=$tmp bash "$script" "$wm" true 2>&1)
  status=$?
  [ "$status" -eq 2 ] || fail "status $status"
  [[ "$out" == *"$message"* ]] || fail "said: $out"
done <<'TABLE'
an unknown window manager|1366x768x24|kwin|unknown window manager kwin
a screen without a depth|1024x768|openbox|ORVADEX_SCREEN=1024x768 is not WIDTHxHEIGHTxDEPTH
TABLE

# Each window manager: the command reports its screen, whether a client without the cookie got
# in and how many of 200 clients one after another were turned away, then either ends with status 3 or stays until the script is killed.
# Held open for reading and writing, so that the wait for a report never blocks in the open
# itself (a run whose window manager failed to start writes none).
mkfifo "$tmp/report"
exec {report}<>"$tmp/report"
while read -r wm ending; do
  case="$wm, $ending"
  REPORT=$tmp/report ORVADEX_SCREEN=1024x768x24 TMPDIR=$tmp bash "$script" "$wm" bash -c '
    size=$(xdpyinfo | sed -n "s/ *dimensions: *\([0-9x]*\) pixels.*/\1/p")
    XAUTHORITY=/nonexistent xprop -root >/dev/null 2>&1 && way=open || way=closed
    refused=0
    for _ in $(seq 200); do xprop -root >/dev/null 2>&1 || refused=$((refused + 1)); done
    echo "$size $way ${ORVADEX_WM_PID:-none} $refused" >"$REPORT"
    [ "$1" = exits ] && exit 3
    exec sleep 600' run "$ending" >"$tmp/out.txt" 2>&1 &
  run=$!
  if ! read -r -t 120 size way manager refused <&"$report"; then
    fail "no report: $(cat "$tmp/out.txt")"
    kill "$run"
    continue
  fi
  [ "$size" = 1024x768 ] || fail "screen $size"
  [ "$way" = closed ] || fail "a client without the cookie got in"
  [ "$wm" = none ] || [ "$manager" != none ] || fail "no window manager named"
  [ "$refused" = 0 ] || fail "$refused of 200 connections one after another turned away"
  if [ "$ending" = killed ]; then
    kill -KILL "$run"
    { wait "$run"; } 2>/dev/null
  else
    wait "$run"
    status=$?
    [ "$status" -eq 3 ] || fail "status $status: $(cat "$tmp/out.txt")"
  fi
  expect_all_gone
done <<'TABLE'
none exits
openbox killed
icewm killed
fluxbox exits
fluxbox killed
metacity killed
TABLE
[ "$failures" -eq 0 ] && echo "all passed"
exit $((failures > 0))

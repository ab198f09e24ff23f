#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb, 1366x768, or ORVADEX_SCREEN, e.g. 1024x768x24) with
# a window manager, as a user's desktop has one, and ends both afterwards:
#   run_under_window_manager.sh WM COMMAND [ARGS...]
#   (WM: openbox, icewm, fluxbox, metacity, or none: X alone)
# The command sees DISPLAY, QT_QPA_PLATFORM=xcb, ORVADEX_WM_PID (the window manager's process,
# whose CPU time the tests and the start-up benchmark read; unset with none) and
# ORVADEX_SCREENSHOT_PREFIX=WM_ (WM_1024x768_ with ORVADEX_SCREEN=1024x768x24). Its exit status
# is the script's.
set -uo pipefail
wm=$1
shift
tools=(Xvfb xprop)
[ "$wm" != none ] && tools+=("$wm")
for tool in "${tools[@]}"; do
  if ! command -v "$tool" >/dev/null; then
    echo "run_under_window_manager: $tool is missing (bash scripts/deps.sh installs it)" >&2
    exit 1
  fi
done
dir=$(mktemp -d "${TMPDIR:-/tmp}/orvadex-$wm-XXXXXX")
xvfb=
manager=
finish() {
  [ -n "$manager" ] && kill "$manager" 2>/dev/null && wait "$manager" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$dir"
}
trap finish EXIT

# A display number of its own: Xvfb picks a free one and writes it to the descriptor given. The
# server is in use once it answers a client; one that dies or never answers (a display number
# another server took at the same moment) is started again.
start_x() {
  : >"$dir/display"
  Xvfb -displayfd 3 -screen 0 "${ORVADEX_SCREEN:-1366x768x24}" -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
  xvfb=$!
  for _ in $(seq 200); do
    [ -s "$dir/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || return 1
    sleep 0.05
  done
  [ -s "$dir/display" ] || return 1
  export DISPLAY=":$(tr -d '\n' < "$dir/display")"
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && return 0
    kill -0 "$xvfb" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}
started=
for _ in 1 2 3; do
  if start_x; then started=1; break; fi
  kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  xvfb=
done
if [ -z "$started" ]; then
  echo "run_under_window_manager: Xvfb did not start:" >&2
  cat "$dir/xvfb.log" >&2
  exit 1
fi

# The window manager with a home of its own (no user's settings), ready once it names itself
# on the root window.
unset ORVADEX_WM_PID
if [ "$wm" != none ]; then
  case "$wm" in
    openbox) HOME="$dir" openbox --sm-disable >"$dir/wm.log" 2>&1 & ;;
    icewm) HOME="$dir" icewm >"$dir/wm.log" 2>&1 & ;;
    fluxbox) HOME="$dir" fluxbox >"$dir/wm.log" 2>&1 & ;;
    metacity) HOME="$dir" metacity --sm-disable --replace --no-composite >"$dir/wm.log" 2>&1 & ;;
    *) echo "run_under_window_manager: unknown window manager $wm" >&2; exit 2 ;;
  esac
  manager=$!
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    kill -0 "$manager" 2>/dev/null || break
    sleep 0.05
  done
  if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
    echo "run_under_window_manager: $wm did not start:" >&2
    cat "$dir/wm.log" >&2
    exit 1
  fi
  export ORVADEX_WM_PID="$manager"
fi

export QT_QPA_PLATFORM=xcb ORVADEX_SCREENSHOT_PREFIX="${wm}_${ORVADEX_SCREEN:+${ORVADEX_SCREEN%x*}_}"
"$@"
status=$?
if [ -n "$manager" ] && ! kill -0 "$manager" 2>/dev/null; then
  echo "run_under_window_manager: $wm ended during the run:" >&2
  cat "$dir/wm.log" >&2
  [ "$status" -eq 0 ] && status=1
fi
exit "$status"

#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb) with a window manager, as a user's desktop has one,
# and ends both afterwards:
#   run_under_window_manager.sh WM COMMAND [ARGS...]
#   WM: openbox, icewm, fluxbox, metacity, or none (X alone)
#   ORVADEX_SCREEN=WIDTHxHEIGHTxDEPTH: the screen (default 1366x768x24)
# Only holders of the run's own cookie may connect to the server. The command sees DISPLAY,
# XAUTHORITY, QT_QPA_PLATFORM=xcb, ORVADEX_WM_PID (the window manager's process, whose CPU time
# the tests and the start-up benchmark read; unset with none) and ORVADEX_SCREENSHOT_PREFIX=WM_
# (WM_1024x768_ with ORVADEX_SCREEN=1024x768x24). Its exit status is the script's. When the
# script is killed outright (SIGKILL), the command, the window manager, the server and the
# temporary folder end with it.
set -uo pipefail
wm=$1
shift
case "$wm" in
  openbox | icewm | fluxbox | metacity | none) ;;
  *)
    echo "run_under_window_manager: unknown window manager $wm (openbox, icewm, fluxbox, metacity or none)" >&2
    exit 2
    ;;
esac
screen=${ORVADEX_SCREEN:-1366x768x24}
if ! [[ "$screen" =~ ^[1-9][0-9]*x[1-9][0-9]*x(8|16|24|32)$ ]]; then
  echo "run_under_window_manager: ORVADEX_SCREEN=$screen is not WIDTHxHEIGHTxDEPTH (e.g. 1024x768x24)" >&2
  exit 2
fi
tools=(Xvfb xprop xauth mcookie)
[ "$wm" != none ] && tools+=("$wm")
for tool in "${tools[@]}"; do
  if ! command -v "$tool" >/dev/null; then
    echo "run_under_window_manager: $tool is missing (bash scripts/deps.sh installs it)" >&2
    exit 1
  fi
done
dir=$(mktemp -d "${TMPDIR:-/tmp}/orvadex-$wm-XXXXXX")

# The watcher: a process of its own that ends what this script started if the script dies
# without its own clean-up. Each child names itself on the pipe before it runs; the pipe's end
# (every writer gone: the script and the children, which close their copy as they start) without
# "done" means the script was killed.
watch_script() {
  trap '' INT TERM HUP
  local -A alive=()
  local word pid
  while read -r word pid; do
    case "$word" in
      start) alive[$pid]=1 ;;
      end) unset "alive[$pid]" ;;
      done) return 0 ;;
    esac
  done
  [ ${#alive[@]} -gt 0 ] && kill "${!alive[@]}" 2>/dev/null
  rm -rf "$dir"
}
exec {watch}> >(watch_script)
watcher=$!
# Runs a command in the background, with the input the call gives it, as a child the watcher
# knows; $! is its process.
spawn() {
  (
    echo "start $BASHPID" >&"$watch"
    exec "$@" {watch}>&-
  ) <&0 &
}
# A child that has ended and been waited for: its number may be another process's from now on.
ended() { echo "end $1" >&"$watch"; }

xvfb=
manager=
# Ends a child: asked first, then killed if it has not gone within 2 s (fluxbox, asked soon
# after its start, does not end).
stop() {
  local state
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 20); do
    state=Z
    read -r _ _ state _ 2>/dev/null <"/proc/$1/stat"
    [ "$state" = Z ] && break  # ended
    sleep 0.1
  done
  kill -KILL "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}
finish() {
  [ -n "$manager" ] && stop "$manager"
  [ -n "$xvfb" ] && stop "$xvfb"
  rm -rf "$dir"
  echo done >&"$watch"
  exec {watch}>&-
  wait "$watcher" 2>/dev/null
}
trap finish EXIT

# The server reads its cookies from the authority file given; any entry's cookie lets a client
# in, whatever display it names, so the entry for the number the server picks is added later.
export XAUTHORITY="$dir/Xauthority"
cookie=$(mcookie)
: >"$XAUTHORITY"
xauth -q add :0 . "$cookie"

# A display number of its own: Xvfb picks a free one and writes it to the descriptor given. The
# server is in use once it answers a client; one that dies or never answers (a display number
# another server took at the same moment) is started again. The server does not reset when its
# last client leaves (-noreset): the client that checks it would otherwise leave it resetting,
# and refusing clients, just as the window manager connects.
start_x() {
  : >"$dir/display"
  spawn Xvfb -displayfd 3 -auth "$XAUTHORITY" -noreset -screen 0 "$screen" -nolisten tcp \
    </dev/null 3>"$dir/display" 2>"$dir/xvfb.log"
  xvfb=$!
  for _ in $(seq 200); do
    [ -s "$dir/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || return 1
    sleep 0.05
  done
  [ -s "$dir/display" ] || return 1
  export DISPLAY=":$(tr -d '\n' < "$dir/display")"
  xauth -q add "$DISPLAY" . "$cookie"
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
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  ended "$xvfb"
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
    openbox) HOME="$dir" spawn "$wm" --sm-disable </dev/null >"$dir/wm.log" 2>&1 ;;
    # Without compositing, so that a grab of the screen shows the windows.
    metacity) HOME="$dir" spawn "$wm" --sm-disable --no-composite </dev/null >"$dir/wm.log" 2>&1 ;;
    icewm | fluxbox) HOME="$dir" spawn "$wm" </dev/null >"$dir/wm.log" 2>&1 ;;
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

# The command in the background (so that the watcher knows it) with the script's own input.
export QT_QPA_PLATFORM=xcb ORVADEX_SCREENSHOT_PREFIX="${wm}_${ORVADEX_SCREEN:+${ORVADEX_SCREEN%x*}_}"
spawn "$@" <&0
command=$!
wait "$command"
status=$?
ended "$command"
if [ -n "$manager" ] && ! kill -0 "$manager" 2>/dev/null; then
  echo "run_under_window_manager: $wm ended during the run:" >&2
  cat "$dir/wm.log" >&2
  [ "$status" -eq 0 ] && status=1
fi
exit "$status"

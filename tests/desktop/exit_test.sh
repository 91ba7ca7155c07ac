#!/usr/bin/env bash
# The reader on a real X display with a window manager, driven as a user
# drives it: File > Exit chosen from the keyboard, and the time from the key
# to the end of the process, with no file open and with one. A user, or a
# script waiting for the reader, should not wait for it.
#
#   tests/desktop/exit_test.sh ZEBWIN EXAMPLE.ZEB
#
# Needs Xvfb, openbox and xdotool (scripts/bootstrap installs them);
# elsewhere it skips (exit 77).
set -euo pipefail
zebwin="${1:?usage: exit_test.sh ZEBWIN EXAMPLE.ZEB}"
example="${2:?usage: exit_test.sh ZEBWIN EXAMPLE.ZEB}"
limit_ms=1000

source "$(dirname "$0")/xdisplay.sh"

failures=0
# Runs the reader with the arguments, exits it from the keyboard, and checks the time.
exit_run() {
  local what="$1"
  shift
  ZEBWIN_HOME="$work/home" "$zebwin" "$@" >/dev/null 2>&1 &
  local pid=$!
  local window=""
  for _ in $(seq 200); do
    window="$(xdotool search --onlyvisible --pid "$pid" --name "ZEB Reader" 2>/dev/null | head -1 || true)"
    [[ -n "$window" ]] && break
    sleep 0.05
  done
  if [[ -z "$window" ]]; then
    echo "FAIL: $what: the main window never showed"
    kill "$pid" 2>/dev/null || true
    failures=$((failures + 1))
    return
  fi
  sleep 1
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers alt+f
  sleep 0.3
  local start
  start=$(date +%s%N)
  xdotool key x
  for _ in $(seq 1000); do kill -0 "$pid" 2>/dev/null || break; sleep 0.01; done
  local end
  end=$(date +%s%N)
  if kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: $what: the reader is still running 10 s after File > Exit"
    kill "$pid"
    failures=$((failures + 1))
    return
  fi
  local ms=$(((end - start) / 1000000))
  echo "$what: the process ended $ms ms after File > Exit"
  if ((ms > limit_ms)); then
    echo "FAIL: $what: more than $limit_ms ms"
    failures=$((failures + 1))
  fi
}

exit_run "no file open"
exit_run "a file open" "$example"
exit "$((failures > 0))"

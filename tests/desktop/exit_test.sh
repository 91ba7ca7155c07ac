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

for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "exit test skipped: $tool is missing"; exit 77; }
done

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
display=""
for n in $(seq 70 99); do
  if [[ ! -e "/tmp/.X11-unix/X$n" && ! -e "/tmp/.X$n-lock" ]]; then display=":$n"; break; fi
done
[[ -n "$display" ]] || { echo "exit test: no free X display"; exit 1; }
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display"
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

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

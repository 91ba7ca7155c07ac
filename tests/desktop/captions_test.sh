#!/usr/bin/env bash
# The captions the window manager shows are the program's own, word for
# word: nothing is added to them. Checked on a real X display with a window
# manager, where the captions are the windows' names as the user sees them.
#
#   tests/desktop/captions_test.sh ZEBWIN EXAMPLE.ZEB
set -euo pipefail
zebwin="${1:?usage: captions_test.sh ZEBWIN EXAMPLE.ZEB}"
example="${2:?usage: captions_test.sh ZEBWIN EXAMPLE.ZEB}"
source "$(dirname "$0")/xdisplay.sh"

failures=0
ZEBWIN_HOME="$work/home" "$zebwin" "$example" >/dev/null 2>&1 &
pid=$!
pids+=("$pid")

# The name of the newest visible window of the reader whose name matches.
window_named() {
  local pattern="$1" found=""
  for _ in $(seq 100); do
    found="$(xdotool search --onlyvisible --pid "$pid" --name "$pattern" 2>/dev/null | tail -1 || true)"
    [[ -n "$found" ]] && break
    sleep 0.05
  done
  [[ -n "$found" ]] && xdotool getwindowname "$found"
}
expect_caption() {
  local what="$1" want="$2" pattern="$3"
  local got
  got="$(window_named "$pattern" || true)"
  if [[ "$got" == "$want" ]]; then
    echo "$what: \"$got\""
  else
    echo "FAIL: $what: the caption is \"$got\", not \"$want\""
    failures=$((failures + 1))
  fi
}

expect_caption "main window" "ZEB Reader" "^ZEB Reader"
main="$(xdotool search --onlyvisible --pid "$pid" --name "^ZEB Reader" | head -1)"
sleep 1
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true

xdotool key --clearmodifiers alt+o s
expect_caption "Set Options" "Set Options" "^Set Options"
xdotool key Escape
sleep 0.3

xdotool key --clearmodifiers ctrl+f
expect_caption "Find Text" "Find Text" "^Find Text"
xdotool type --delay 20 "zqzqzq"
xdotool key Return
expect_caption "nothing found" "Search Results for \"zqzqzq\"" "^Search Results"
xdotool key Return
sleep 0.3

# The root window maximised from its own menu: the main caption names it.
xdotool key --clearmodifiers alt+minus
sleep 0.3
xdotool key x
sleep 0.5
expect_caption "a maximised window" "ZEB Reader - [Moonfall]" "^ZEB Reader"

xdotool key --clearmodifiers alt+f x
exit "$((failures > 0))"

# Sourced by the desktop tests: a fresh X display (Xvfb) with a window
# manager (openbox) for as long as the test runs, and a scratch folder
# $work. Skips the test (exit 77) where a tool is missing.

for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "desktop test skipped: $tool is missing"; exit 77; }
done

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and writes it to fd 3, so
# tests that run at the same time never meet.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
display=""
for _ in $(seq 200); do
  display="$(cat "$work/display" 2>/dev/null || true)"
  [[ -n "$display" ]] && break
  sleep 0.05
done
[[ -n "$display" ]] || { echo "desktop test: Xvfb did not start"; exit 1; }
display=":$display"
export DISPLAY="$display"
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5


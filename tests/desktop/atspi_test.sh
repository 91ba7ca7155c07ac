#!/usr/bin/env bash
# What a screen reader hears: the reader on a real X display, its tree read
# through AT-SPI (atspi_tree.py) in a private D-Bus session.
#
#   tests/desktop/atspi_test.sh ZEBWIN EXAMPLE.ZEB
#
# Needs at-spi2-core, python3-pyatspi and dbus-run-session besides the
# display tools; elsewhere it skips (exit 77).
set -euo pipefail
zebwin="${1:?usage: atspi_test.sh ZEBWIN EXAMPLE.ZEB}"
example="${2:?usage: atspi_test.sh ZEBWIN EXAMPLE.ZEB}"
here="$(cd "$(dirname "$0")" && pwd)"
command -v dbus-run-session >/dev/null || { echo "AT-SPI test skipped: dbus-run-session is missing"; exit 77; }
# Debian's own Python, which python3-pyatspi installs into.
python=/usr/bin/python3
[[ -x "$python" ]] || python=python3
"$python" -c "import pyatspi" 2>/dev/null || { echo "AT-SPI test skipped: python3-pyatspi is missing"; exit 77; }
[[ -x /usr/libexec/at-spi-bus-launcher ]] || { echo "AT-SPI test skipped: at-spi2-core is missing"; exit 77; }
source "$here/xdisplay.sh"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
export ZEBWIN_HOME="$work/home"
dbus-run-session -- bash -c '
  "$1" "$2" >/dev/null 2>&1 &
  reader=$!
  timeout 60 "$4" "$3"
  status=$?
  kill "$reader" 2>/dev/null
  exit $status
' atspi "$zebwin" "$example" "$here/atspi_tree.py" "$python"

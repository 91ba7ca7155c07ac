#!/usr/bin/env bash
# The Debian package as a user's machine meets it: built with cpack from the
# build folder, installed with dpkg, then both programs answer, hint files
# have the reader's file type, the menu entry is valid, both manual pages
# render with the version, and removing the package leaves none of its
# files behind.
#
#   tests/package/package_test.sh BUILD_DIR
#
# Installs into the running system, so it needs root; elsewhere it skips
# (exit 77).
set -euo pipefail
build="$(cd "${1:?usage: package_test.sh BUILD_DIR}" && pwd)"

if [[ "$(id -u)" -ne 0 ]] || ! command -v dpkg >/dev/null; then
  echo "package test skipped: it installs into the system and needs root and dpkg"
  exit 77
fi
for tool in cpack desktop-file-validate xdg-mime mimetype man; do
  command -v "$tool" >/dev/null || { echo "package test: $tool is missing (scripts/bootstrap installs it)"; exit 1; }
done

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_equal() { [[ "$2" == "$3" ]] || fail "$1: expected \"$3\", got \"$2\""; }

work="$(mktemp -d)"
cleanup() {
  dpkg -r zebreader >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# A package left by an earlier run goes first.
dpkg -r zebreader >/dev/null 2>&1 || true

(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb="$(ls "$work"/package/zebreader_*.deb)"
echo "package: $(basename "$deb")"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "Depends names no Qt library: $(dpkg-deb -f "$deb" Depends)"
dpkg -i "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }

expect_equal "zebwin --version" "$(/usr/bin/zebwin --version)" "zebwin 4.50"
expect_equal "zebtool --version" "$(/usr/bin/zebtool --version)" "zebtool 4.50"
example=/usr/share/zebreader/examples/MOONFALL.ZEB
expect_equal "zebtool verify of the installed example" "$(/usr/bin/zebtool verify "$example")" "ok"
# A command that zebtool hands to zebtool-full, in its installed place.
/usr/bin/zebtool summary "$example" | grep -q '"title":"Moonfall"' || fail "zebtool summary through zebtool-full"
[[ -f /usr/share/zebreader/ZEBWIN.ZEB ]] || fail "the help file is not installed"
for size in 16 32 48 256; do
  [[ -f /usr/share/icons/hicolor/${size}x${size}/apps/zebreader.png ]] || fail "no ${size}px icon"
done

cp "$example" "$work/GAME.ZEB"
cp "$example" "$work/other.zeb"
expect_equal "file type of GAME.ZEB" "$(xdg-mime query filetype "$work/GAME.ZEB")" "application/x-zeb-hints"
expect_equal "file type of other.zeb" "$(xdg-mime query filetype "$work/other.zeb")" "application/x-zeb-hints"
printf 'ZEB\r\nA game\r\n' >"$work/no-extension"
expect_equal "file type by content" "$(xdg-mime query filetype "$work/no-extension")" "application/x-zeb-hints"

desktop-file-validate /usr/share/applications/zebreader.desktop || fail "the menu entry is not valid"

for page in zebwin zebtool; do
  file=/usr/share/man/man1/$page.1.gz
  if ! MANPAGER=cat MANWIDTH=80 man --warnings -l "$file" >"$work/$page.txt" 2>"$work/$page.err"; then
    fail "man -l $page failed: $(cat "$work/$page.err")"
  elif [[ -s "$work/$page.err" ]]; then
    fail "man -l $page warned: $(cat "$work/$page.err")"
  fi
  grep -q "NAME" "$work/$page.txt" || fail "the $page page has no NAME section"
  grep -q "ZEB Reader 4.50" "$work/$page.txt" || fail "the $page page does not name the version"
done

installed="$(dpkg -L zebreader | grep -v '/$' || true)"
dpkg -r zebreader >"$work/remove.log" 2>&1 || { cat "$work/remove.log"; fail "dpkg -r failed"; }
dpkg -s zebreader >/dev/null 2>&1 && [[ "$(dpkg-query -W -f='${Status}' zebreader)" == *" installed" ]] && fail "still installed after removal"
while read -r path; do
  [[ -z "$path" || -d "$path" ]] && continue
  [[ -e "$path" ]] && fail "left behind after removal: $path"
done <<<"$installed"
[[ -e /usr/lib/zebreader ]] && fail "left behind after removal: /usr/lib/zebreader"
[[ -e /usr/share/zebreader ]] && fail "left behind after removal: /usr/share/zebreader"

if [[ $failures -gt 0 ]]; then
  echo "package test: $failures failure(s)"
  exit 1
fi
echo "package test: installed, ran, and removed cleanly"

#!/usr/bin/env bash
# Wall time of fetching and unpacking one 50 MB archive from 127.0.0.1:
# zebtool download against curl -o plus unzip of the same URL, in one
# hyperfine run. Needs a build (build/src/tools/zebtool), python3, curl,
# unzip and hyperfine.
set -euo pipefail
cd "$(dirname "$0")/.."
zebtool="$PWD/build/src/tools/zebtool"
work="$(mktemp -d)"
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/src" "$work/home" "$work/curl"
python3 -c "import os, sys; open(sys.argv[1], 'wb').write(os.urandom(50 * 1024 * 1024))" "$work/src/BIG50.ZEB"
port=$(python3 -c "import socket; s = socket.socket(); s.bind(('127.0.0.1', 0)); print(s.getsockname()[1])")
"$zebtool" publish "$work/src" "$work/site" --base-url "http://127.0.0.1:$port/files/" >/dev/null
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/site" >/dev/null 2>&1 &
server=$!
sleep 1
export ZEBWIN_HOME="$work/home"
"$zebtool" update --server "127.0.0.1:$port" >/dev/null
hyperfine --warmup 1 --runs 8 \
  --prepare "rm -f '$work/home/hints/BIG50.ZEB'" "'$zebtool' download BIG50.ZEB --yes" \
  --prepare "rm -f '$work/curl/'*" \
  "cd '$work/curl' && curl -s -o big.zip http://127.0.0.1:$port/files/BIG50.zip && unzip -q -o big.zip"

#!/usr/bin/env bash
# Runs the download benchmark under Wine and Xvfb against the tests' HTTP server on
# 127.0.0.1, with curl for reference, and tears everything down afterwards.
#
#   bench/download/run.sh <win-build-dir> [size-MiB] [rounds]
#
# The build directory is a MinGW build with KALVERA_BENCH on (download_bench.exe).
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: $0 <win-build-dir> [size-MiB] [rounds]" >&2; exit 2; }
build=$(cd "$1" && pwd)
size_mib=${2:-100}
rounds=${3:-5}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bench_exe="$build/bench/download/download_bench.exe"
[ -f "$bench_exe" ] || { echo "no $bench_exe: build the target download_bench" >&2; exit 2; }

state=$(mktemp -d /tmp/download_bench.XXXXXX)
server_pid=""
cleanup() {
  local rc=$?
  WINEPREFIX="$state/prefix" wineserver -k >/dev/null 2>&1 || true
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  bash "$root/tests/wine/wine_environment.sh" stop "$state/env" >/dev/null 2>&1 || true
  rm -rf "$state"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

bash "$root/tests/wine/wine_environment.sh" start "$state/env"
export USER=tester HOME="$state/env/home" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX="$state/prefix"
DISPLAY=$(cat "$state/env/display")
export DISPLAY
cp -a "$state/env/template" "$WINEPREFIX"
mkdir -p "$state/http_root" "$WINEPREFIX/drive_c/bench_out"

head -c "$((size_mib * 1048576))" /dev/urandom >"$state/http_root/package.bin"
python3 "$root/tests/tools/http_server.py" --root "$state/http_root" --port-file "$state/port" </dev/null &
server_pid=$!
for _ in $(seq 100); do [ -s "$state/port" ] && break; sleep 0.1; done
url="http://127.0.0.1:$(cat "$state/port")/package.bin"
echo "body: $size_mib MiB from $url"

echo "== curl (native, into a file)"
for round in $(seq 3); do
  curl -s -o "$state/curl.bin" -w "%{size_download} %{time_total}\n" "$url" |
    awk -v r="$round" '{ printf "round %d: %.2f s (%.1f MB/s)\n", r, $2, $1 / $2 / 1e6 }'
  rm -f "$state/curl.bin"
done

echo "== under Wine"
wine "$bench_exe" "$url" 'C:\bench_out' "$rounds" </dev/null

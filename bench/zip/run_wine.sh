#!/usr/bin/env bash
# Extraction speed under Wine: UnZipFile against a bare Win32 extractor, round-robin in
# one process (zip_bench_wine), medians and ratio, with the files created and the reads
# each made.
#   bench/zip/run_wine.sh <zip_bench_wine.exe> [--small] [--rounds N]
# (KALVERA_ZIP_BENCH_WORK overrides the work folder.)
# The package comes from ../shared/bench/make_package.py and is kept in the work folder
# (/dev/shm when there is one, reached from Wine through Z:) for later runs. The Wine
# prefix is made once under the work folder; the outputs are removed after the run, not
# between runs, since creating files soon after deleting thousands costs far more.
set -euo pipefail
exe=$(readlink -f "$1"); shift
small=()
rounds=5
while [[ $# -gt 0 ]]; do
  case $1 in
    --small) small=(--small); shift ;;
    --rounds) rounds=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done
here=$(cd "$(dirname "$0")" && pwd)
make_package=$(readlink -f "$here/../../..")/shared/bench/make_package.py
work=/tmp/kalvera-zip-bench-wine
[[ -d /dev/shm ]] && work=/dev/shm/kalvera-zip-bench-wine
# Benchmarks run side by side on a shared machine need prefixes (wineservers) of their own.
work=${KALVERA_ZIP_BENCH_WORK:-$work}
mkdir -p "$work"
package=$work/pkg${small:+-small}.zip
if [[ ! -f $package ]]; then
  python3 "$make_package" "${small[@]}" "$package"
fi

export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all HOME=$work/home USER=tester
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
if [[ ! -d $WINEPREFIX ]]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi

outputs=$work/out
rm -rf "$outputs"
mkdir -p "$outputs"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$outputs"' EXIT
echo "$(basename "$package"), $rounds rounds, outputs in $outputs"
wine "$exe" "Z:${package//\//\\}" "Z:${outputs//\//\\}" "$rounds"

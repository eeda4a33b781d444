#!/usr/bin/env bash
# Installs what is missing, cross-builds the utility and runs it under Wine on a virtual
# display, against the bundled local HTTP server and platform stand-in; saves screenshots
# in build/demo/shots and prints what it did.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}

bash tools/install-deps.sh

# Quiet, but for why the scenario parts are left out; everything when it fails.
log=$(cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVERA_BENCH=OFF 2>&1) || { printf '%s\n' "$log" >&2; exit 1; }
printf '%s\n' "$log" | grep -E 'skipped|left out' || true
# The utility fetches from the servers built into it: 127.0.0.1 and the port configured.
port=$(sed -n 's/^KALVERA_CONFIG_SERVER:STRING=127\.0\.0\.1:\([0-9]*\)$/\1/p' build/win/CMakeCache.txt)
package_port=$(sed -n 's/^KALVERA_PACKAGE_SERVER:STRING=127\.0\.0\.1:\([0-9]*\)$/\1/p' build/win/CMakeCache.txt)
# Said at once, before the build and Wine: a taken port would otherwise show only as a failed run.
for fixed in $(printf '%s\n' "$port" "$package_port" | sort -u); do
  if python3 -c 'import socket, sys; s = socket.socket(); s.bind(("127.0.0.1", int(sys.argv[1])))' "$fixed" 2>/dev/null; then
    continue
  fi
  echo "port $fixed on 127.0.0.1 is taken: free it, or configure build/win with" \
    "-DKALVERA_CONFIG_SERVER=127.0.0.1:<port> -DKALVERA_PACKAGE_SERVER=127.0.0.1:<port>" >&2
  exit 2
done
cmake --build build/win -j"$jobs" --target KalveraBase fake_platform test_package demo_driver

demo=$root/build/demo
state=$demo/state
shots=$demo/shots
rm -rf "$shots"
mkdir -p "$shots"

stop_environment() { bash tests/wine/wine_environment.sh stop "$state" >/dev/null 2>&1 || true; }
trap stop_environment EXIT
bash tests/wine/wine_environment.sh start "$state"
display=$(cat "$state/display")

# No window manager runs on the display, so windows would show neither frame nor caption.
# A Wine virtual desktop draws them; it is set in the demo's own template, which every
# run copies, so the tests keep the bare display.
(
  export WINEPREFIX=$state/template USER=tester HOME=$state/home WINEARCH=win64 WINEDEBUG=-all LC_ALL=C.UTF-8
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x760 /f
  # The registry reaches the template's files only when its server has ended.
  wineserver -w
) >/dev/null

# The driver asks for screenshots by dropping "<name>.request" files.
take_requested_shots() {
  local request name
  for request in "$shots"/*.request; do
    [ -e "$request" ] || continue
    name=$(basename "$request" .request)
    import -window root -display "$display" "png:$shots/$name.png.tmp" 2>/dev/null &&
      mv "$shots/$name.png.tmp" "$shots/$name.png"
    rm -f "$request"
  done
}

export KALVERA_APP_EXE=$root/build/win/KalveraBase.exe
export KALVERA_STANDIN_EXE=$root/build/win/tests/tools/1cv8.exe
export KALVERA_PACKAGE_ZIP=$root/build/win/tests/tools/Setup1C.zip
export KALVERA_HTTP_FIXED_PORTS
KALVERA_HTTP_FIXED_PORTS=$(printf '%s\n' "$port" "$package_port" | sort -u | tr '\n' ' ')
export KALVERA_SHOT_DIR
KALVERA_SHOT_DIR="Z:$(echo "$shots" | tr / '\\')"
export KALVERA_TEST_TIMEOUT=300

bash tests/wine/run_in_prefix.sh "$state" "$root/build/win/demo/demo_driver.exe" &
driver=$!
while kill -0 "$driver" 2>/dev/null; do
  take_requested_shots
  sleep 0.2
done
set +e
wait "$driver"
rc=$?
set -e
take_requested_shots
echo
echo "Screenshots:"
ls -1 "$shots"/*.png 2>/dev/null || echo "  (none)"
exit "$rc"

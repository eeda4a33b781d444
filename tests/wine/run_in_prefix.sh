#!/usr/bin/env bash
# Runs one Windows test program in a fresh copy of the template prefix, beside its own
# HTTP server, and tears both down afterwards whatever happened.
#
#   run_in_prefix.sh <state-dir> <test-exe> [args...]
#
# Reads (Linux paths, set by CTest): KALVERA_APP_EXE, KALVERA_STANDIN_EXE; optional
# KALVERA_TEST_TIMEOUT (seconds, default 150), KALVERA_KEEP_RUN=1 to keep the files, and
# KALVERA_WINE_USER: the Unix user name the test program alone runs as, which Wine's
# GetUserNameW reports (the prefix and its profile folder stay the template's "tester");
# KALVERA_MARKER_DLL and KALVERA_MARKER_EXE, the planted library and program;
# KALVERA_HTTP_FIXED_PORTS: ports on 127.0.0.1 where more servers serve the same root, for
# the utility, whose server addresses are fixed at build time; KALVERA_PACKAGE_ZIP and
# KALVERA_LARGE_PACKAGE_ZIP; KALVERA_LOG_PIXELS, the display's DPI in this run's prefix
# (96 when unset). KALVERA_UNIX_LINKS: "<link>=<target>" pairs, separated by spaces, of paths
# below the prefix's drive_c, made Unix symbolic links (the target a folder), which Wine
# shows as reparse points.
# KALVERA_HTTPS_FIXED_PORTS: the same over HTTPS, for a utility built for HTTPS servers;
# they then need KALVERA_TLS_DIR (make_test_certificates.sh) and present
# KALVERA_TLS_SERVES (server, other_name or untrusted; default server), or with
# KALVERA_TLS_REDIRECT_TO_HTTP=1 send every request to the plain server below.
# KALVERA_SIGNING_KEY: a private key with which every server signs what it serves
# (http_server.py --sign-key).
# The test program sees (Windows paths): KALVERA_APP, KALVERA_STANDIN, KALVERA_HTTP_ROOT,
# KALVERA_TEST_TMP, KALVERA_PACKAGE, KALVERA_LARGE_PACKAGE, KALVERA_MARKER_LIBRARY,
# KALVERA_MARKER_PROGRAM and KALVERA_HTTP_PORT.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: $0 <state-dir> <test-exe> [args...]" >&2; exit 2; }

# Wine trusts the certificate authorities of the host's bundle. The test's own authority
# is added to a copy that only this run sees, in a mount namespace of its own, so the
# machine's trust is never touched. Wine reads the bundle in each process that checks a
# certificate, so everything from here on runs inside.
if [ -n "${KALVERA_TLS_DIR:-}" ] && [ -z "${KALVERA_TRUST_NAMESPACE:-}" ]; then
  export KALVERA_TRUST_NAMESPACE=1
  namespace=(unshare --mount --propagation private)
  [ "$(id -u)" -eq 0 ] || namespace=(unshare --user --map-root-user --mount --propagation private)
  exec "${namespace[@]}" bash "$0" "$@"
fi
if [ -n "${KALVERA_TRUST_NAMESPACE:-}" ]; then
  host_bundle=/etc/ssl/certs/ca-certificates.crt
  [ -f "$host_bundle" ] || { echo "no $host_bundle for Wine to read" >&2; exit 2; }
  mount --bind "$KALVERA_TLS_DIR/bundle.crt" "$host_bundle"
fi
state=$(cd "$1" && pwd)
test_exe=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
server_script="$here/../tools/http_server.py"

[ -f "$state/display" ] && [ -f "$state/template.ready" ] || {
  echo "the Wine environment is not started (wine_environment.sh start $state)" >&2
  exit 2
}

# The same fixed environment as wine_environment.sh gave the template.
export USER=tester HOME="$state/home" WINEARCH=win64 WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
DISPLAY=$(cat "$state/display")
export DISPLAY

mkdir -p "$state/runs"
run=$(mktemp -d "$state/runs/$(basename "$test_exe" .exe).XXXXXX")
export WINEPREFIX="$run/prefix"
server_pid=""
fixed_server_pids=()
test_pid=""

cleanup() {
  local rc=$?
  if [ -n "$test_pid" ]; then kill "$test_pid" 2>/dev/null || true; fi
  WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
  for pid in $server_pid "${fixed_server_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  if [ "${KALVERA_KEEP_RUN:-0}" = 1 ]; then
    echo "kept $run" >&2
  else
    rm -rf "$run"
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# Z: is the Linux root in every prefix.
windows_path() { printf 'Z:%s' "$(realpath -m "$1" | tr / '\\')"; }

cp -a "$state/template" "$WINEPREFIX"
# Read by every Wine process started after the prefix's server has written it out.
if [ -n "${KALVERA_LOG_PIXELS:-}" ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$KALVERA_LOG_PIXELS" /f >/dev/null
  wineserver -w
fi
mkdir -p "$run/http_root" "$WINEPREFIX/drive_c/kalvera_test_tmp"
for pair in ${KALVERA_UNIX_LINKS:-}; do
  link="$WINEPREFIX/drive_c/${pair%%=*}"
  target="$WINEPREFIX/drive_c/${pair#*=}"
  mkdir -p "$(dirname "$link")" "$target"
  ln -s "$target" "$link"
done

python3 "$server_script" --root "$run/http_root" --port-file "$run/port" </dev/null &
server_pid=$!
for _ in $(seq 100); do
  [ -s "$run/port" ] && break
  kill -0 "$server_pid" 2>/dev/null || { echo "the test HTTP server did not start" >&2; exit 2; }
  sleep 0.1
done
[ -s "$run/port" ] || { echo "the test HTTP server gave no port" >&2; exit 2; }

# A server on a fixed port, serving the same root: <port> [server options].
start_fixed_server() {
  local port=$1; shift
  python3 "$server_script" --root "$run/http_root" --port "$port" --port-file "$run/port.$port" "$@" </dev/null &
  fixed_server_pids+=($!)
  for _ in $(seq 100); do
    [ -s "$run/port.$port" ] && return 0
    kill -0 "${fixed_server_pids[-1]}" 2>/dev/null || {
      echo "port $port on 127.0.0.1 is taken: free it, or configure the build with" \
        "-DKALVERA_CONFIG_SERVER=127.0.0.1:<port> -DKALVERA_PACKAGE_SERVER=127.0.0.1:<port>" >&2
      exit 2
    }
    sleep 0.1
  done
}
sign_options=()
[ -n "${KALVERA_SIGNING_KEY:-}" ] && sign_options=(--sign-key "$KALVERA_SIGNING_KEY")
for port in ${KALVERA_HTTP_FIXED_PORTS:-}; do start_fixed_server "$port" "${sign_options[@]}"; done

tls_serves=${KALVERA_TLS_SERVES:-server}
tls_options=()
if [ -n "${KALVERA_TLS_DIR:-}" ]; then
  tls_options=(--tls-cert "$KALVERA_TLS_DIR/$tls_serves.pem" --tls-key "$KALVERA_TLS_DIR/server.key")
  [ "${KALVERA_TLS_REDIRECT_TO_HTTP:-0}" = 1 ] && tls_options+=(--redirect-to-http "$(cat "$run/port")")
fi
for port in ${KALVERA_HTTPS_FIXED_PORTS:-}; do
  [ ${#tls_options[@]} -gt 0 ] || { echo "HTTPS ports without KALVERA_TLS_DIR" >&2; exit 2; }
  start_fixed_server "$port" "${tls_options[@]}" "${sign_options[@]}"
done

export KALVERA_HTTP_PORT
KALVERA_HTTP_PORT=$(cat "$run/port")
export KALVERA_HTTP_ROOT
KALVERA_HTTP_ROOT=$(windows_path "$run/http_root")
export KALVERA_TEST_TMP='C:\kalvera_test_tmp'
if [ -n "${KALVERA_APP_EXE:-}" ]; then
  export KALVERA_APP
  KALVERA_APP=$(windows_path "$KALVERA_APP_EXE")
fi
if [ -n "${KALVERA_PACKAGE_ZIP:-}" ]; then
  export KALVERA_PACKAGE
  KALVERA_PACKAGE=$(windows_path "$KALVERA_PACKAGE_ZIP")
fi
if [ -n "${KALVERA_MARKER_DLL:-}" ]; then
  export KALVERA_MARKER_LIBRARY KALVERA_MARKER_PROGRAM
  KALVERA_MARKER_LIBRARY=$(windows_path "$KALVERA_MARKER_DLL")
  KALVERA_MARKER_PROGRAM=$(windows_path "$KALVERA_MARKER_EXE")
fi
if [ -n "${KALVERA_LARGE_PACKAGE_ZIP:-}" ]; then
  export KALVERA_LARGE_PACKAGE
  KALVERA_LARGE_PACKAGE=$(windows_path "$KALVERA_LARGE_PACKAGE_ZIP")
fi
if [ -n "${KALVERA_STANDIN_EXE:-}" ]; then
  export KALVERA_STANDIN
  KALVERA_STANDIN=$(windows_path "$KALVERA_STANDIN_EXE")
fi

# In the background, so that a TERM from CTest is acted on at once rather than after it.
USER=${KALVERA_WINE_USER:-$USER} timeout -k 5 "${KALVERA_TEST_TIMEOUT:-150}" wine "$test_exe" "$@" </dev/null &
test_pid=$!
set +e
wait "$test_pid"
rc=$?
set -e
test_pid=""
[ "$rc" -eq 124 ] && echo "timed out after ${KALVERA_TEST_TIMEOUT:-150} s" >&2
exit "$rc"

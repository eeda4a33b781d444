#!/usr/bin/env bash
# Starts and stops what every Wine test shares: one Xvfb display and a template Wine
# prefix that run_in_prefix.sh copies for each test.
#
#   wine_environment.sh start <state-dir>   display and template; records what it started
#   wine_environment.sh stop  <state-dir>   stops exactly that, by process id
#
# KALVERA_SCREEN gives the display's size (default 1280x1024x24).
#
# Other programs on the machine may run Xvfb and Wine too, so this picks a free display,
# and kills nothing it did not start itself.
set -euo pipefail

usage() { echo "usage: $0 start|stop <state-dir>" >&2; exit 2; }
[ $# -eq 2 ] || usage
action=$1
state=$(mkdir -p "$2" && cd "$2" && pwd)

# The one user name for wineboot and every run: the profile folder is made from it. And
# a UTF-8 locale whatever the caller's: Wine decodes Unix text (USER, paths, arguments)
# in the locale's character set, and under C it would garble Cyrillic.
export USER=tester HOME="$state/home" WINEARCH=win64 WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
template="$state/template"

# True when <pid> is alive and its command line contains <word>, so that a recorded pid
# reused by another program is never signalled.
pid_is() {
  local pid=$1 word=$2
  [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q -- "$word"
}

stop_xvfb() {
  local pid
  pid=$(cat "$state/xvfb.pid" 2>/dev/null || true)
  if pid_is "$pid" Xvfb; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do pid_is "$pid" Xvfb || break; sleep 0.1; done
    pid_is "$pid" Xvfb && kill -9 "$pid" 2>/dev/null || true
  fi
  rm -f "$state/xvfb.pid" "$state/display"
}

stop_template_server() {
  # wineserver -k addresses the server of this prefix only.
  if [ -d "$template" ]; then WINEPREFIX="$template" wineserver -k >/dev/null 2>&1 || true; fi
}

start_xvfb() {
  local n pid
  for n in $(seq 90 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    setsid Xvfb ":$n" -screen 0 "${KALVERA_SCREEN:-1280x1024x24}" -nolisten tcp </dev/null >"$state/xvfb.log" 2>&1 &
    pid=$!
    # Another program, or another environment ctest starts in parallel, may take the same
    # number between the check and the start; its server then answers while ours is still
    # failing. Xvfb takes its lock file atomically and removes it on exit, so the display
    # is ours exactly when its lock names our process.
    for _ in $(seq 100); do
      if xdpyinfo -display ":$n" >/dev/null 2>&1; then
        [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ] || break
        echo "$pid" >"$state/xvfb.pid"
        echo ":$n" >"$state/display"
        return 0
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  echo "no free X display in :90..:199" >&2
  return 1
}

build_template() {
  local stamp version
  version=$(wine --version)
  stamp="$state/template.ready"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ] && [ -d "$template/drive_c" ]; then
    return 0
  fi
  rm -rf "$template" "$stamp"
  mkdir -p "$HOME"
  echo "building the template prefix (about 15 s)"
  WINEPREFIX="$template" wineboot -i </dev/null >"$state/wineboot.log" 2>&1
  WINEPREFIX="$template" wineserver -w
  # The profile folders come as symlinks into $HOME; anything a test writes or removes
  # there must stay inside the prefix.
  local profile="$template/drive_c/users/$USER" name
  for name in Documents Downloads Desktop Music Pictures Videos; do
    if [ -L "$profile/$name" ]; then rm -f "$profile/$name"; fi
    mkdir -p "$profile/$name"
  done
  # Wine's own Tahoma and Marlett, so that text and frames look as they do on Windows.
  if compgen -G "/usr/share/wine/fonts/*.ttf" >/dev/null; then
    cp /usr/share/wine/fonts/*.ttf "$template/drive_c/windows/Fonts/"
  fi
  echo "$version" >"$stamp"
}

case "$action" in
  start)
    stop_xvfb
    start_xvfb
    export DISPLAY
    DISPLAY=$(cat "$state/display")
    build_template
    stop_template_server
    echo "Wine test environment ready: display $DISPLAY, template $template"
    ;;
  stop)
    stop_template_server
    stop_xvfb
    rm -rf "$state/runs"
    ;;
  *) usage ;;
esac

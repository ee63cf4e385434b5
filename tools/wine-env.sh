#!/usr/bin/env bash
# The test environment of the Windows build:
#   wine-env.sh start STATE_DIR KEEPALIVE_EXE   private Xvfb, prefix, keep-alive
#   wine-env.sh stop STATE_DIR                  wineserver -k, Xvfb killed
# Why a keep-alive: wineserver's helper processes inherit the stdio of the
# first Wine process; started here with /dev/null they never hold ctest's
# pipes, and a warm desktop makes every later test start in ~0.1 s.
set -u
cmd=$1; state=$2
mkdir -p "$state"
state=$(cd "$state" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/wine-common.sh"

stop_env() {
  if [ -d "$state/prefix" ]; then
    WINEPREFIX="$state/prefix" wineserver -k >/dev/null 2>&1
    WINEPREFIX="$state/prefix" timeout 20 wineserver -w >/dev/null 2>&1
  fi
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" >/dev/null 2>&1
    rm -f "$state/xvfb.pid"
  fi
  rm -f "$state/display" "$state/display.num" "$state/keepalive.ready"
}

case "$cmd" in
  start)
    keepalive=$3
    stop_env
    rm -f "$state/display.num"
    Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$state/display.num" </dev/null >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 200); do [ -s "$state/display.num" ] && break; sleep 0.05; done
    [ -s "$state/display.num" ] || { echo "Xvfb did not start" >&2; exit 1; }
    echo ":$(head -n1 "$state/display.num")" >"$state/display"
    wine_prepare "$state"
    wine "$keepalive" "Z:$state/keepalive.ready" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 1200); do [ -f "$state/keepalive.ready" ] && break; sleep 0.1; done
    [ -f "$state/keepalive.ready" ] || { echo "Wine keep-alive did not start" >&2; exit 1; }
    echo "wine environment ready on display $(cat "$state/display")"
    ;;
  stop)
    stop_env
    echo "wine environment stopped"
    ;;
  *) echo "usage: $0 start|stop STATE_DIR [KEEPALIVE_EXE]" >&2; exit 2 ;;
esac

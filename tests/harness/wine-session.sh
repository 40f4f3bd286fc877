#!/usr/bin/env bash
# Start and end of one test run (CTest fixture): "start" gives the run a fresh prefix
# copied from the template; "stop" ends every Windows process of the run and its
# display, so that the harness leaves nothing behind.
# Usage: wine-session.sh start|stop WINE_DIR
set -u
export ORMVEX_WINE_DIR=$2
. "$(dirname "$0")/wine-common.sh"
case $1 in
  start)
    stop_prefix "$ORMVEX_WINE_DIR/prefix"
    rm -rf "$ORMVEX_WINE_DIR/prefix" "$ORMVEX_WINE_DIR/../screenshots"
    ensure_run_prefix && ensure_display
    ;;
  stop)
    stop_prefix "$ORMVEX_WINE_DIR/prefix"
    collect_screenshots "$ORMVEX_WINE_DIR/prefix"
    for scene in "$ORMVEX_WINE_DIR"/scenes/scene.*; do
      [ -d "$scene" ] && stop_prefix "$scene" && rm -rf "$scene"
    done
    if [ -f "$ORMVEX_WINE_DIR/xvfb.pid" ]; then
      kill "$(cat "$ORMVEX_WINE_DIR/xvfb.pid")" 2>/dev/null || true
      rm -f "$ORMVEX_WINE_DIR/xvfb.pid" "$ORMVEX_WINE_DIR/display"
    fi
    ;;
  *) echo "usage: wine-session.sh start|stop WINE_DIR" >&2; exit 2 ;;
esac

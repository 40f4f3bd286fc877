#!/usr/bin/env bash
# CTest's emulator for Windows test programs: runs one program in this test run's
# shared prefix, with the target machines' code page and a private display.
# Usage: wine-run.sh --dir WINE_DIR PROGRAM [ARGS...]
set -u
[ "${1:-}" = "--dir" ] || { echo "usage: wine-run.sh --dir WINE_DIR PROGRAM [ARGS...]" >&2; exit 2; }
export ORMVEX_WINE_DIR=$2; shift 2
. "$(dirname "$0")/wine-common.sh"
ensure_run_prefix || exit 1
ensure_display
export WINEPREFIX="$ORMVEX_WINE_DIR/prefix"
boot_prefix "$WINEPREFIX"   # the wineserver stays alive between the tests of this run
program=$(stage_programs "$WINEPREFIX" "$1"); shift
exec env LC_ALL=zh_CN.UTF-8 "$WINE64" "$program" "$@"

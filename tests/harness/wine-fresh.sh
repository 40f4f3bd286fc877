#!/usr/bin/env bash
# Like wine-run.sh, but each call gets a fresh copy of the sandboxed template prefix,
# for tests that register services or change the registry. The copy's processes are
# ended and the copy is removed when the program exits.
# Usage: wine-fresh.sh --dir WINE_DIR PROGRAM [ARGS...]
set -u
[ "${1:-}" = "--dir" ] || { echo "usage: wine-fresh.sh --dir WINE_DIR PROGRAM [ARGS...]" >&2; exit 2; }
dir=$2
for a in "$@"; do   # listing the tests needs no fresh prefix
  [ "$a" = "--gtest_list_tests" ] && exec "$(dirname "$0")/wine-run.sh" "$@"
done
export ORMVEX_WINE_DIR=$dir; shift 2
. "$(dirname "$0")/wine-common.sh"
ensure_template || exit 1
ensure_display
mkdir -p "$ORMVEX_WINE_DIR/scenes"
scene=$(mktemp -d "$ORMVEX_WINE_DIR/scenes/scene.XXXXXX")
cp -a "$ORMVEX_WINE_DIR/template/." "$scene/"
export WINEPREFIX=$scene
export ORMVEX_SCENE_PREFIX=$scene   # lets a test look at the prefix from outside
boot_prefix "$scene"
program=$(stage_programs "$scene" "$1"); shift
wine_env "$WINE64" "$program" "$@"
rc=$?
stop_prefix "$scene"
collect_screenshots "$scene"
rm -rf "$scene"
exit $rc

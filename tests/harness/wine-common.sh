# Shared by the Wine harness scripts. Source it; it defines functions only.
#
# Layout below $ORMVEX_WINE_DIR (one per build tree):
#   template/  a sandboxed prefix made once by wineboot (kept between runs)
#   prefix/    this test run's prefix, a fresh copy of the template per run
#   scenes/    fresh copies for tests that change services or the registry
#   display    the number of this build tree's private Xvfb display

WINE64=${WINE64:-/usr/lib/wine/wine64}
# LC_ALL (LANG alone is not enough) gives GetACP() == 936, as on the target servers.
# It is set on the Windows commands only: the host has no such locale.
wine_env() { env LC_ALL=zh_CN.UTF-8 "$@"; }
# Quiet, but a crash of a program under test still says so.
export WINEDEBUG=${WINEDEBUG:--all,err+seh}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

harness_lock() {  # harness_lock NAME: serialise set-up steps between parallel tests
  exec {HARNESS_LOCK_FD}>"$ORMVEX_WINE_DIR/.$1.lock"
  flock "$HARNESS_LOCK_FD"
}
harness_unlock() { flock -u "$HARNESS_LOCK_FD"; exec {HARNESS_LOCK_FD}>&-; }

# A prefix must never reach the host's files: no z: drive, and the user's shell
# folders are real folders instead of links into the Linux home.
sandbox_prefix() {
  local prefix=$1
  rm -f "$prefix/dosdevices/z:"
  local link
  while IFS= read -r link; do
    rm -f "$link" && mkdir -p "$link"
  done < <(find "$prefix/drive_c/users" -mindepth 2 -maxdepth 2 -type l)
}

ensure_template() {
  mkdir -p "$ORMVEX_WINE_DIR"
  [ -f "$ORMVEX_WINE_DIR/template/.ready" ] && return 0
  harness_lock template
  if [ ! -f "$ORMVEX_WINE_DIR/template/.ready" ]; then
    rm -rf "$ORMVEX_WINE_DIR/template"
    WINEPREFIX="$ORMVEX_WINE_DIR/template" wine_env "$WINE64" wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX="$ORMVEX_WINE_DIR/template" wineserver -w
    [ -f "$ORMVEX_WINE_DIR/template/system.reg" ] || { echo "harness: wineboot failed" >&2; harness_unlock; return 1; }
    sandbox_prefix "$ORMVEX_WINE_DIR/template"
    touch "$ORMVEX_WINE_DIR/template/.ready"
  fi
  harness_unlock
}

ensure_run_prefix() {
  ensure_template || return 1
  [ -f "$ORMVEX_WINE_DIR/prefix/.ready" ] && return 0
  harness_lock prefix
  if [ ! -f "$ORMVEX_WINE_DIR/prefix/.ready" ]; then
    rm -rf "$ORMVEX_WINE_DIR/prefix"
    cp -a "$ORMVEX_WINE_DIR/template" "$ORMVEX_WINE_DIR/prefix"
  fi
  harness_unlock
}

# A private Xvfb per build tree, so that parallel trees never share a display.
ensure_display() {
  harness_lock display
  local n=""
  [ -f "$ORMVEX_WINE_DIR/display" ] && n=$(cat "$ORMVEX_WINE_DIR/display")
  if [ -z "$n" ] || ! xdpyinfo_ok ":$n"; then
    n=$(( 90 + $(cksum <<<"$ORMVEX_WINE_DIR" | cut -d' ' -f1) % 400 ))
    while [ -e "/tmp/.X$n-lock" ] && ! xdpyinfo_ok ":$n"; do n=$((n + 1)); done
    if ! xdpyinfo_ok ":$n"; then
      setsid Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 < /dev/null &
      echo $! > "$ORMVEX_WINE_DIR/xvfb.pid"
      for _ in $(seq 50); do xdpyinfo_ok ":$n" && break; sleep 0.1; done
    fi
    echo "$n" > "$ORMVEX_WINE_DIR/display"
  fi
  harness_unlock
  export DISPLAY=":$n"
}
xdpyinfo_ok() { [ -S "/tmp/.X11-unix/X${1#:}" ] && DISPLAY=$1 xdotool getmouselocation >/dev/null 2>&1; }

# Starts the prefix's wineserver (kept alive) and its system processes with every
# descriptor on /dev/null: whatever the first program of a prefix starts inherits its
# output, and CTest would wait for that pipe until the test times out.
boot_prefix() {
  WINEPREFIX=$1 wineserver -p </dev/null >/dev/null 2>&1
  WINEPREFIX=$1 wine_env "$WINE64" wineboot </dev/null >/dev/null 2>&1
}

# Tests save screenshots for review in C:\screenshots of their prefix; they are
# collected into the build tree's screenshots/ folder before a prefix goes away.
collect_screenshots() {
  local shots="$1/drive_c/screenshots"
  [ -d "$shots" ] || return 0
  mkdir -p "$ORMVEX_WINE_DIR/../screenshots"
  cp -a "$shots/." "$ORMVEX_WINE_DIR/../screenshots/"
}

# Programs under test run from inside the prefix, never from a host path: every
# program and library of the build's bin folder, and its fixtures/ folder, is copied to
# C:\ormvex-tests\ (only when newer).
# Prints the Windows path of the program to run.
stage_programs() {
  local prefix=$1 program=$2
  local bin
  bin=$(cd "$(dirname "$program")" && pwd)
  mkdir -p "$prefix/drive_c/ormvex-tests"
  harness_lock "stage.$(basename "$prefix")"
  find "$bin" -maxdepth 1 -type f \( -name '*.exe' -o -name '*.dll' \) -exec cp -u {} "$prefix/drive_c/ormvex-tests/" \;
  [ -d "$bin/fixtures" ] && cp -ru "$bin/fixtures" "$prefix/drive_c/ormvex-tests/"
  harness_unlock
  printf 'C:\\ormvex-tests\\%s' "$(basename "$program")"
}

# Ends every Windows process of a prefix (its services included).
stop_prefix() { WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true; }

#!/usr/bin/env bash
# The main job: builds everything, then sets the product up in a fresh sandboxed Wine
# prefix and shows what stands. Exits 0 only when every check holds.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/build.sh" || exit 1

export ORMVEX_WINE_DIR="$root/build/x86_64/wine"
. "$root/tests/harness/wine-common.sh"
ensure_template || exit 1
had_display=0; [ -f "$ORMVEX_WINE_DIR/xvfb.pid" ] && had_display=1
ensure_display

job="$root/build/main-job"
prefix="$job/prefix"
stop_prefix "$prefix"
rm -rf "$job" && mkdir -p "$job"
cp -a "$ORMVEX_WINE_DIR/template/." "$prefix/"
export WINEPREFIX="$prefix"
boot_prefix "$prefix"
end_job() {
  stop_prefix "$prefix"
  if [ "$had_display" = 0 ] && [ -f "$ORMVEX_WINE_DIR/xvfb.pid" ]; then
    kill "$(cat "$ORMVEX_WINE_DIR/xvfb.pid")" 2>/dev/null; rm -f "$ORMVEX_WINE_DIR/xvfb.pid" "$ORMVEX_WINE_DIR/display"
  fi
}
trap end_job EXIT

win() { wine_env "$WINE64" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
state() { win sc query "$1" | awk '/STATE/ { print $4 }'; }

install_dir="$prefix/drive_c/ormvex4071"
echo "main job: placing the programs in C:\\ormvex4071\\"
mkdir -p "$install_dir/log" "$install_dir/http" "$install_dir/config"
cp "$root/dist/x86_64/ormvex.exe" "$root/dist/x86_64/ormvexd.exe" "$install_dir/"
[ -f "$root/dist/x86_64/OrmVexPanel.exe" ] && cp "$root/dist/x86_64/OrmVexPanel.exe" "$install_dir/"
printf '<html><body>Orm management site</body></html>\r\n' > "$install_dir/http/index.html"

echo "main job: each program registers its own service (\"/i\"), then the watchdog starts"
win 'C:\ormvex4071\ormvex.exe' /i >/dev/null
win 'C:\ormvex4071\ormvexd.exe' -i | iconv -f GBK -t UTF-8 | sed 's/^/  ormvexd: /'
win sc start ormvexd >/dev/null

ok=1
for _ in $(seq 60); do
  [ "$(state ormvexd)" = RUNNING ] && [ "$(state ormvex)" = RUNNING ] && break
  sleep 0.5
done
# The engine is left stopped until the watchdog notices: proof that it keeps it running.
echo "main job: stopping the engine service; the watchdog must bring it back"
win sc stop ormvex >/dev/null
for _ in $(seq 40); do [ "$(state ormvex)" = STOPPED ] && break; sleep 0.25; done
for _ in $(seq 60); do [ "$(state ormvex)" = RUNNING ] && break; sleep 0.5; done
# It logs the recovery about two seconds after the engine runs again.
for _ in $(seq 40); do [ -s "$install_dir/log/ormipsd.log" ] && break; sleep 0.25; done

echo
for service in ormvexd ormvex; do
  s=$(state "$service"); printf '  service %-8s %s\n' "$service" "${s:-missing}"
  [ "$s" = RUNNING ] || ok=0
done
site=$(curl -s --max-time 5 http://127.0.0.1:6689/ || true)
if [ -n "$site" ]; then echo "  management site http://127.0.0.1:6689/ answers: $site"; else echo "  management site: no answer"; ok=0; fi
recovery=$(cat "$install_dir/log/ormipsd.log" 2>/dev/null | iconv -f GBK -t UTF-8 2>/dev/null)
if [ -n "$recovery" ]; then echo "  watchdog log (C:\\ormvex4071\\log\\ormipsd.log):"; sed 's/^/    /' <<<"$recovery"; else echo "  watchdog log: empty"; ok=0; fi
echo "  files placed:"; (cd "$install_dir" && find . -type f | sort | sed 's/^\.\//    /')
echo
if [ "$ok" = 1 ]; then echo "main job: everything stands"; exit 0; fi
echo "main job: something does not stand (see above)"; exit 1

#!/usr/bin/env bash
# The benchmark command: builds, runs every test labelled "bench" one at a time (so
# that no benchmark measures another) and prints one table of medians and spreads,
# gathered from the "BENCH <figure> name=value ..." lines the benchmarks print.
# Extra arguments go to ctest (e.g. -R Upgrade). The whole output: build/bench.log.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/build.sh" || exit 1
log="$root/build/bench.log"
started=$(date +%s)
(cd "$root/build/x86_64" && ctest -L bench -V --timeout 2400 "$@") >"$log" 2>&1
status=$?

# value FIGURE NAME: the last reported value, or "-" when that benchmark did not report.
value() {
  local v
  v=$(tr -d '\r' <"$log" | grep -a -o "BENCH $1 .*" | tail -n 1 | tr ' ' '\n' | sed -n "s/^$2=//p")
  echo "${v:--}"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || b == 0) print "-"; else printf "%.2f", a / b }'; }
row() { printf '%-52s %10s  %s\n' "$1" "$2" "$3"; }

echo
row "measurement" "median" "spread"
row "payload unpacking (150 MB): ours, under Wine" "$(value unpack_ours_s median) s" \
    "$(value unpack_ours_s min) .. $(value unpack_ours_s max) s"
row "  Info-ZIP unzip, same archive, native" "$(value unpack_infozip_s median) s" \
    "$(value unpack_infozip_s min) .. $(value unpack_infozip_s max) s"
row "  plain minizip loop, same archive, under Wine" "$(value unpack_loop_s median) s" \
    "$(value unpack_loop_s min) .. $(value unpack_loop_s max) s"
row "  ratio ours / Info-ZIP unzip" "$(ratio "$(value unpack_ours_s median)" "$(value unpack_infozip_s median)")" \
    "ours / plain loop $(ratio "$(value unpack_ours_s median)" "$(value unpack_loop_s median)")"
row "channel round trip (200 commands)" "$(value channel_ms median) ms" \
    "99th percentile $(value channel_ms p99) ms, $(value channel_ms min) .. $(value channel_ms max) ms"
row "watchdog recovery after an engine stop (20 trials)" "$(value recovery_s median) s" \
    "worst $(value recovery_s max) s, best $(value recovery_s min) s"
row "panel resident 60 s: CPU, working set" "$(value panel_cost cpu_ms) ms" \
    "$(value panel_cost working_set_mib) MiB (one run)"
row "watchdog 60 s, engine running: CPU, working set" "$(value watchdog_cost cpu_ms) ms" \
    "$(value watchdog_cost working_set_mib) MiB (one run)"
row "unattended upgrade, 200 MB payload, less waits" "$(value upgrade_s median) s" \
    "$(value upgrade_s min) .. $(value upgrade_s max) s (3 runs)"
echo
echo "bench: $(( $(date +%s) - started )) s; every line of output in $log"
[ "$status" = 0 ] || echo "bench: some benchmark failed (ctest status $status); see $log" >&2
exit "$status"

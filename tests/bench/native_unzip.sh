#!/usr/bin/env bash
# Native Info-ZIP unzip of the benchmark payload, the median of three runs.
set -eu
times=()
for _ in 1 2 3; do
  d=$(mktemp -d)
  s=$(date +%s%N); unzip -q -o "$1" -d "$d"; e=$(date +%s%N)
  rm -rf "$d"
  times+=($(( (e - s) / 1000000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
s() { awk -v m="$1" 'BEGIN { printf "%.2f", m / 1000 }'; }
echo "unpack bench: native Info-ZIP unzip $(s "${sorted[1]}") s"
echo "BENCH unpack_infozip_s median=$(s "${sorted[1]}") min=$(s "${sorted[0]}") max=$(s "${sorted[2]}")"

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
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 2p)
echo "unpack bench: native Info-ZIP unzip $(awk -v m="$median" 'BEGIN { printf "%.2f", m / 1000 }') s"

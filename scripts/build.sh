#!/usr/bin/env bash
# Builds every program for x86_64 (with the tests) and i686 into dist/<arch>/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
jobs=$(nproc)
for arch in x86_64 i686; do
  build="$root/build/$arch"
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
          -DCMAKE_BUILD_TYPE=Release ${ORMVEX_CMAKE_ARGS:-} >/dev/null
  fi
  echo "build: $arch"
  log="$build/build.log"
  if ! cmake --build "$build" -j "$jobs" -- --no-print-directory >"$log" 2>&1; then
    grep -vE '^\[ *[0-9]+%\]' "$log" | tail -n 60 >&2
    echo "build: $arch failed (whole log: $log)" >&2
    exit 1
  fi
  grep -B2 -A6 'warning:' "$log" || true
done
echo "build: programs in $root/dist/"

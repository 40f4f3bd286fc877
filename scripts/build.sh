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
  cmake --build "$build" -j "$jobs" -- --no-print-directory | grep -vE '^\[ *[0-9]+%\]|^Consolidate|^-- ' || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "build: $arch failed" >&2; exit 1; }
done
echo "build: programs in $root/dist/"

#!/usr/bin/env bash
# Runs every test under Wine: installs what is missing, builds both architectures,
# then CTest over the x86_64 tests. Extra arguments go to ctest (e.g. -L channel).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/build.sh"
cd "$root/build/x86_64"
ctest --output-on-failure --timeout 600 -LE bench "$@"

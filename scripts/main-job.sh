#!/usr/bin/env bash
# The main job: builds every program for both architectures and shows what stands.
# (It grows into a real installation into a sandboxed Wine prefix as the installer lands.)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/build.sh"
echo
echo "main job: programs built"
for arch in x86_64 i686; do
  ls -l "$root/dist/$arch" 2>/dev/null | awk -v a="$arch" 'NR > 1 { printf "  %-7s %10d  %s\n", a, $5, $9 }'
done

#!/usr/bin/env bash
# Everything a fresh Debian machine needs to build and test the project.
# Idempotent: when the packages and the minizip sources are there it returns at once.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="$root/.deps"

packages=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev
  wine64 wine xvfb xauth fonts-wqy-microhei cmake googletest
  dpkg-dev xdotool imagemagick zip unzip python3 g++ make locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine names files on the host in the charset of LC_ALL's locale: without a generated
# zh_CN.UTF-8 locale no Chinese file or folder name can be created in a prefix.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# Minizip's unzip interface comes from Debian's own zlib source package. We fetch it
# through a private apt configuration whose only entry is a deb-src line derived from
# the machine's main-suite entry, so the machine's apt sources are never edited.
minizip_dir() { find "$deps/zlib" -maxdepth 4 -path '*contrib/minizip/unzip.c' -printf '%h\n' 2>/dev/null | head -n 1; }
if [ -z "$(minizip_dir)" ]; then
  apt_dir="$deps/apt"
  rm -rf "$apt_dir" "$deps/zlib"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/parts" "$apt_dir/archives/partial" "$deps/zlib"

  # First main-suite entry: a URI that is no security archive and a suite without a
  # "-updates"/"-security" part, from either one-line lists or deb822 .sources files.
  entry=$(python3 - <<'PY'
import glob, re
def main_suite(uri, suites):
    if "security" in uri: return None
    for s in suites:
        if "-" not in s: return s
    return None
for path in ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*.list")):
    try: lines = open(path).read().splitlines()
    except OSError: continue
    for line in lines:
        line = re.sub(r"\[[^]]*\]", "", line.split("#")[0]).split()
        if len(line) >= 3 and line[0] == "deb":
            s = main_suite(line[1], [line[2]])
            if s: print(line[1], s); raise SystemExit
for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
    for stanza in open(path).read().split("\n\n"):
        fields = {}
        for line in stanza.splitlines():
            if line.startswith("#") or ":" not in line: continue
            k, v = line.split(":", 1); fields[k.strip().lower()] = v.split()
        if "deb" not in fields.get("types", []) or fields.get("enabled", ["yes"])[0] == "no": continue
        for uri in fields.get("uris", []):
            s = main_suite(uri, fields.get("suites", []))
            if s: print(uri, s); raise SystemExit
PY
)
  [ -n "$entry" ] || { echo "setup: no main-suite apt entry found" >&2; exit 1; }
  set -- $entry
  echo "deb-src $1 $2 main" > "$apt_dir/sources.list"
  apt_opts=(
    -o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache::Archives=$apt_dir/archives"
    -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=" -o "APT::Sandbox::User=root"
  )
  apt-get "${apt_opts[@]}" update -qq
  (cd "$deps/zlib" && apt-get "${apt_opts[@]}" source -qq zlib >/dev/null)
  [ -n "$(minizip_dir)" ] || { echo "setup: zlib source has no contrib/minizip" >&2; exit 1; }
fi
echo "setup: ready (minizip at $(minizip_dir))"

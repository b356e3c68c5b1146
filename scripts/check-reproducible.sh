#!/usr/bin/env bash
# Builds the release twice from the same sources, copied to two different
# paths, and compares the SHA-256 of the shipped images: the installer and
# the uninstaller it carries must not depend on where or when they were
# built. Unsigned builds: a signature is the one thing that differs by key.
#
#   scripts/check-reproducible.sh [--keep]
#
# The sources are the tracked files of this clone as they are now (changes
# not yet committed included). Both builds happen in a temporary folder,
# removed afterwards unless --keep is given. Prints both digests and how
# long the two builds took.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
keep=0
[ "${1:-}" = "--keep" ] && keep=1
work=$(mktemp -d "${TMPDIR:-/tmp}/quillmore-reproducible.XXXXXX")
[ "$keep" = 1 ] || trap 'rm -rf "$work"' EXIT

# A copy of the tracked sources at the given path.
copy_sources() {
  mkdir -p "$1"
  git -C "$root" ls-files -z --cached --others --exclude-standard |
    (cd "$root" && tar --null --no-recursion -T - -cf -) | tar -C "$1" -xf -
}

# Builds the release preset in a copy at $1; prints the image digests.
build_at() {
  copy_sources "$1"
  (cd "$1" && cmake --preset release-i686 >"$1.configure.log" 2>&1 &&
    cmake --build --preset release-i686 -j2 >"$1.build.log" 2>&1) ||
    { echo "check-reproducible: the build in $1 failed, see $1.*.log" >&2; exit 2; }
  (cd "$1/build/i686/bin" && sha256sum QuillmoreInstaller.exe uninst.exe)
}

start=$(date +%s)
first=$(build_at "$work/a/src")
second=$(build_at "$work/second-build/at/another/path/src")
seconds=$(($(date +%s) - start))

echo "check-reproducible: first build:"; echo "$first" | sed 's/^/  /'
echo "check-reproducible: second build:"; echo "$second" | sed 's/^/  /'
echo "check-reproducible: two release builds took ${seconds} s"
if [ "$first" != "$second" ]; then
  echo "check-reproducible: FAIL: the images differ between the two builds" >&2
  [ "$keep" = 1 ] && echo "check-reproducible: both builds kept in $work" >&2
  exit 1
fi
echo "check-reproducible: ok: both builds gave the same bytes"

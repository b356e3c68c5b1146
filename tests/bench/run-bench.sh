#!/usr/bin/env bash
# Side-by-side benchmark of our installer and an NSIS installer of the same
# files under wine64 (not part of ctest). See tests/bench/README.md.
#
#   tests/bench/run-bench.sh [--rounds N] [--kinds "large small tiny"] [--huge]
#                            [--baseline INSTALLER.exe] [BUILD_DIR]
#
#   --rounds N  alternating rounds, an even number so that each installer
#               goes first as often (default 4; the full run is 8)
#   --kinds     payloads to run: large (27 MB in 19 files), small (10,000
#               files), tiny (1 KB, the fixed cost)
#   --huge      also a 270 MB payload in 19 files, ours only (the check that
#               memory stays flat in the payload size; about 4 min the first
#               time, to pack it)
#   --baseline  also an earlier build of our installer (a copy of its
#               bin/QuillmoreInstaller.exe), "before" in the table
#   --no-check-baseline  the baseline is the same release built without the
#               start-up integrity check (build/x86_64-release-nocheck): the
#               check's cost, side by side
#   BUILD_DIR   the x86_64 test build, for the driver (default build/x86_64)
#
# Ours is the installer of the release-x86_64 preset: the shipped flags, no
# failure points (build/x86_64-release, configured and built here).
#
# Every installation runs in a fresh prefix and is checked afterwards (exit
# code, every file's size and CRC-32, the uninstaller); a failed check stops
# the run. Payloads, packed streams and NSIS installers are cached in
# BUILD_DIR/bench and rebuilt when their inputs change; our installer variants
# are rebuilt every run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
here=$root/tests/bench
rounds=4
kinds="large small tiny"
huge=0
baseline=
build=$root/build/x86_64
while [ $# -gt 0 ]; do
  case "$1" in
    --rounds) rounds=$2; shift 2 ;;
    --kinds) kinds=$2; shift 2 ;;
    --huge) huge=1; shift ;;
    --baseline) baseline=$(realpath "$2"); shift 2 ;;
    --no-check-baseline) baseline=nocheck; shift ;;
    -h|--help) sed -n '2,20p' "$0"; exit 0 ;;
    *) build=$1; shift ;;
  esac
done
build=$(cd "$build" && pwd)
[ $((rounds % 2)) = 0 ] && [ "$rounds" -gt 0 ] || { echo "run-bench: --rounds must be even" >&2; exit 1; }
[ "$huge" = 1 ] && kinds="$kinds huge"
command -v makensis >/dev/null || { echo "run-bench: makensis missing (bash scripts/setup.sh)" >&2; exit 1; }

cmake --build "$build" --target install_bench quillmore_packer quillmore_imagedigest -j2 >/dev/null
(cd "$root" && cmake --preset release-x86_64 >/dev/null && cmake --build --preset release-x86_64 -j2 --target QuillmoreInstaller >/dev/null)
release=$root/build/x86_64-release
if [ "$baseline" = nocheck ]; then
  (cd "$root" && cmake --preset release-x86_64 -B build/x86_64-release-nocheck -DQUILLMORE_INTEGRITY_CHECK=OFF \
     -DQUILLMORE_BENCHMARK_BUILD=ON >/dev/null &&
   cmake --build build/x86_64-release-nocheck -j2 --target QuillmoreInstaller >/dev/null)
  baseline=$root/build/x86_64-release-nocheck/bin/QuillmoreInstaller.exe
fi

data=$build/bench
mkdir -p "$data"
results=$(mktemp "$data/results.XXXXXX")
export QUILLMORE_HARNESS_DIR=$build/bench-wine
cleanup() {
  rm -f "$results" "$data"/ours-*.exe "$data"/base-*.exe
  "$root/tests/harness/wine-harness-ctl" stop >/dev/null 2>&1 || true
}
trap cleanup EXIT

stamp() { cat "$@" | sha256sum | cut -c1-16; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
driver() { "$root/tests/harness/wine-run" --fresh "$build/bin/install_bench.exe" "$@"; }

# Payload files, the packed stream and the NSIS installer of each kind, cached.
prepare() {
  local kind=$1 key
  key=$(stamp "$here/payloads.py")
  if [ "$(cat "$data/$kind.stamp" 2>/dev/null)" != "$key" ]; then
    echo "generating the $kind payload" >&2
    rm -rf "${data:?}/$kind"
    python3 "$here/payloads.py" "$data" "$kind"
    echo "$key" > "$data/$kind.stamp"
    rm -f "$data/$kind.lzma.stamp" "$data/nsis-$kind.stamp"
  fi
  key=$(stamp "$data/$kind.stamp" "$build/tools/quillmore-packer")
  if [ "$(cat "$data/$kind.lzma.stamp" 2>/dev/null)" != "$key" ]; then
    echo "packing the $kind payload" >&2
    "$build/tools/quillmore-packer" payload "$data/$kind.manifest" "$data/$kind.lzma" >/dev/null
    echo "$key" > "$data/$kind.lzma.stamp"
  fi
  [ "$kind" = huge ] && return 0
  key=$(stamp "$data/$kind.stamp" "$here/Comparable.nsi" /usr/bin/makensis)
  if [ "$(cat "$data/nsis-$kind.stamp" 2>/dev/null)" != "$key" ]; then
    echo "building the NSIS installer of the $kind payload" >&2
    makensis -V3 -WX -DTREE="$data/$kind/tree" -DOUTFILE="$data/nsis-$kind.exe" "$here/Comparable.nsi" \
      | sed -n 's/^Compressed data: *\([0-9]*\) .*/\1/p' > "$data/nsis-$kind.payload"
    echo "$key" > "$data/nsis-$kind.stamp"
  fi
}

# One measured installation in a fresh prefix: "<kind> <installer> wall ws private".
measure() {
  local kind=$1 who=$2 setup=$data/$2-$1.exe line
  line=$(driver run "${who/base/ours}" "$(winpath "$setup")" "$(winpath "$data/$kind.listing")" | grep '^result ')
  echo "$kind $who $line" >> "$results"
  echo "  $kind $who: $line" >&2
}

for kind in $kinds; do
  prepare "$kind"
  driver embed "$(winpath "$release/bin/QuillmoreInstaller.exe")" "$(winpath "$data/$kind.lzma")" \
    "$(winpath "$data/ours-$kind.exe")"
  # As the build does after linking: the installer refuses a file whose
  # digest was not recorded for its bytes.
  "$build/tools/quillmore-imagedigest" record "$data/ours-$kind.exe" >/dev/null
  echo "$kind sizes ours_exe=$(stat -c %s "$data/ours-$kind.exe") ours_payload=$(stat -c %s "$data/$kind.lzma")" \
    "nsis_exe=$(stat -c %s "$data/nsis-$kind.exe" 2>/dev/null || echo 0) nsis_payload=$(cat "$data/nsis-$kind.payload" 2>/dev/null || echo 0)" \
    >> "$results"
  if [ -n "$baseline" ]; then
    driver embed "$(winpath "$baseline")" "$(winpath "$data/$kind.lzma")" "$(winpath "$data/base-$kind.exe")"
    echo "$kind sizes base_exe=$(stat -c %s "$data/base-$kind.exe")" >> "$results"
  fi
done

for round in $(seq 1 "$rounds"); do
  echo "round $round of $rounds" >&2
  for kind in $kinds; do
    # The order alternates, so that neither installer always runs first.
    if [ "$kind" = huge ]; then order="ours${baseline:+ base}"
    elif [ $((round % 2)) = 1 ]; then order="ours nsis${baseline:+ base}"
    else order="${baseline:+base }nsis ours"; fi
    for who in $order; do measure "$kind" "$who"; done
    # The limits say nothing about a 1 KB payload.
    [ "$kind" = tiny ] && continue
    line=$(driver limits "$(winpath "$data/$kind.lzma")" | grep '^limits ')
    echo "$kind limits $line" >> "$results"
  done
done

python3 "$here/report.py" "$results" "$rounds"

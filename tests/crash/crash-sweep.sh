#!/usr/bin/env bash
# Crash sweep: kills the installer (SIGKILL of the Windows process, the
# closest to a power cut Wine offers) at moments spread over an unattended
# installation, each in a fresh prefix, and checks what the machine is left
# with. The moments follow the installation's progress rather than the clock
# (program start-up dominates that on a busy machine): moment k of M comes
# up to 40 ms after the console line k * lines / (M + 1) of an undisturbed
# run. the next unattended run with -force must complete with 0 (survived),
# and removing that installation through its registered uninstaller must
# leave the registry and the files as they were before the first run (clean).
#
#   tests/crash/crash-sweep.sh [moments] [build dir]     (default 20, build/x86_64)
#
# Last line: "survived N/M, clean N/M"; exit code 0 when both are M/M.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
moments=${1:-20}
build=$(cd "${2:-$here/../../build/x86_64}" && pwd)
bin="$build/bin"
for program in QuillmoreInstaller.exe crash_sweep_probe.exe; do
  [ -f "$bin/$program" ] || { echo "crash-sweep: $bin/$program is missing (build the test preset)" >&2; exit 2; }
done

# The prefixes of the test build; no display: a window an unattended run
# should never show then fails at once instead of waiting.
export QUILLMORE_HARNESS_DIR=${QUILLMORE_HARNESS_DIR:-$build/wine}
export QUILLMORE_NO_DISPLAY=1
# shellcheck source=../harness/wine-harness
source "$here/../harness/wine-harness"
harness_ensure_pristine
harness_ensure_display

arguments=(-acceptEULA "-installDir=C:\\Program Files\\Vantrel Quillmore")
work=$(mktemp -d "$HARNESS_DIR/sweep.XXXXXX")
prefix=""
cleanup() {
  if [ -n "$prefix" ]; then
    WINEPREFIX="$prefix" "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
  fi
  rm -rf "$work"
}
trap cleanup EXIT

new_prefix() {
  cleanup_prefix
  prefix=$(mktemp -d "$HARNESS_DIR/fresh.XXXXXX")
  harness_copy_prefix "$HARNESS_DIR/pristine" "$prefix"
  export WINEPREFIX="$prefix"
  harness_start_private_server
}

cleanup_prefix() {
  if [ -n "$prefix" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
    prefix=""
  fi
}

line_count() {
  local count
  count=$(grep -c '' "$1" 2>/dev/null) || true
  echo "${count:-0}"
}

# Starts the probe in a fresh prefix and waits until it has its snapshot;
# the services it started make every later program start alike.
start_probe() {
  new_prefix
  control="$work/control-$1"
  mkdir -p "$control"
  "$WINE64" "$bin/crash_sweep_probe.exe" "Z:${control//\//\\}" >"$control/probe.out" 2>&1 &
  probe=$!
  for ((i = 0; i < 600; i++)); do
    [ -e "$control/ready" ] && break
    sleep 0.1
  done
}

# One undisturbed installation, started as the killed ones are: the lines
# the moments are spread over.
start_probe measure
"$WINE64" "$bin/QuillmoreInstaller.exe" "${arguments[@]}" >"$control/installed.out" 2>&1 \
  || { echo "crash-sweep: the undisturbed installation failed" >&2; cat "$control/installed.out" >&2; exit 1; }
lines=$(line_count "$control/installed.out")
touch "$control/go"
wait "$probe" || { echo "crash-sweep: the undisturbed installation did not go cleanly" >&2; cat "$control/probe.out" >&2; exit 1; }
echo "undisturbed installation: $lines console lines; kills spread over them"

survived=0
clean=0
for ((moment = 1; moment <= moments; moment++)); do
  start_probe "$moment"
  line=$(( (moment * lines + moments) / (moments + 1) ))
  delay=$(( RANDOM % 40 ))
  "$WINE64" "$bin/QuillmoreInstaller.exe" "${arguments[@]}" >"$control/killed.out" 2>&1 &
  installer=$!
  while [ "$(line_count "$control/killed.out")" -lt "$line" ] && kill -0 "$installer" 2>/dev/null; do
    sleep 0.005
  done
  sleep "0.0$(printf '%02d' "$delay")"
  where="after it ended"
  if kill -KILL "$installer" 2>/dev/null; then
    where="after \"$( (grep -v '^$' "$control/killed.out" || echo 'no output') | tail -n 1 | tr -d '\r')\""
  fi
  { wait "$installer"; } 2>/dev/null || true  # 137 when killed

  forced=0
  "$WINE64" "$bin/QuillmoreInstaller.exe" "${arguments[@]}" -force >"$control/forced.out" 2>&1 || forced=$?
  touch "$control/go"
  probed=0
  wait "$probe" || probed=$?

  removal=$(grep -m 1 '^uninstall' "$control/probe.out" | tr -d '\r' || true)
  verdict="forced run $forced, ${removal:-no result}"
  if [ "$forced" -eq 0 ] && [ "$removal" = "uninstall 0" ]; then survived=$((survived + 1)); fi
  if [ "$probed" -eq 0 ] && [ "$forced" -eq 0 ]; then
    clean=$((clean + 1))
    verdict="$verdict, clean"
  else
    verdict="$verdict, NOT clean:"
  fi
  echo "moment $moment/$moments: kill $delay ms after line $line ($where): $verdict"
  if [ "$probed" -ne 0 ] || [ "$forced" -ne 0 ]; then
    sed 's/^/    /' "$control/probe.out"
    [ "$forced" -eq 0 ] || tail -n 5 "$control/forced.out" | sed 's/^/    forced: /'
  fi
done
cleanup_prefix

echo "survived $survived/$moments, clean $clean/$moments"
[ "$survived" -eq "$moments" ] && [ "$clean" -eq "$moments" ]

#!/usr/bin/env bash
# Crash sweep: kills the installer (SIGKILL of the Windows process, the
# closest to a power cut Wine offers) at moments spread over an unattended
# installation, each in a fresh prefix, and checks what the machine is left
# with. The moments follow the installation's progress rather than the clock
# (program start-up dominates that on a busy machine): moment k of M comes
# up to 40 ms after a console line spread over the lines of an undisturbed
# run, from the first to the one before the last. A kill has landed when the
# installer was still running and had printed its first line but not its
# last; a moment whose kill came too late is tried again without the delay
# and one line earlier, up to three times. The next unattended run with -force must complete with
# 0 (survived), and removing that installation through its registered
# uninstaller must leave the registry and the files as they were before the
# first run (clean).
#
#   tests/crash/crash-sweep.sh [moments] [build dir]     (default 20, build/x86_64)
#
# Last line: "landed N/M, survived S/R, clean C/R" over the M moments and
# the R runs they took; exit code 0 when every moment landed and every run
# survived clean. A probe that never reports ready ends the sweep at once.
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
  rm -rf "$control"   # a moment tried again must not see the last try's files
  mkdir -p "$control"
  "$WINE64" "$bin/crash_sweep_probe.exe" "Z:${control//\//\\}" >"$control/probe.out" 2>&1 &
  probe=$!
  for ((i = 0; i < 1200; i++)); do
    [ -e "$control/ready" ] && return 0
    kill -0 "$probe" 2>/dev/null || break
    sleep 0.1
  done
  echo "crash-sweep: the probe never reported ready ($1)" >&2
  cat "$control/probe.out" >&2
  exit 1
}

# One undisturbed installation, started as the killed ones are: the lines
# the moments are spread over.
start_probe measure
"$WINE64" "$bin/QuillmoreInstaller.exe" "${arguments[@]}" >"$control/installed.out" 2>&1 \
  || { echo "crash-sweep: the undisturbed installation failed" >&2; cat "$control/installed.out" >&2; exit 1; }
lines=$(line_count "$control/installed.out")
last_line=$(grep -v '^$' "$control/installed.out" | tail -n 1)
[ "$lines" -ge 2 ] || { echo "crash-sweep: the undisturbed installation printed $lines lines" >&2; exit 1; }
touch "$control/go"
wait "$probe" || { echo "crash-sweep: the undisturbed installation did not go cleanly" >&2; cat "$control/probe.out" >&2; exit 1; }
echo "undisturbed installation: $lines console lines; kills spread over them"

landed=0
runs=0
survived=0
clean=0
for ((moment = 1, attempt = 1; moment <= moments; attempt++)); do
  start_probe "$moment"
  line=$(( 1 + (moment - 1) * (lines - 1) / moments - (attempt - 1) ))
  [ "$line" -ge 1 ] || line=1
  delay=0
  [ "$attempt" -gt 1 ] || delay=$(( RANDOM % 40 ))
  "$WINE64" "$bin/QuillmoreInstaller.exe" "${arguments[@]}" >"$control/killed.out" 2>&1 &
  installer=$!
  while [ "$(line_count "$control/killed.out")" -lt "$line" ] && kill -0 "$installer" 2>/dev/null; do
    sleep 0.005
  done
  sleep "0.0$(printf '%02d' "$delay")"
  where="after it ended"
  hit=0
  if kill -KILL "$installer" 2>/dev/null; then
    { wait "$installer"; } 2>/dev/null || true  # 137
    where="after \"$( (grep -v '^$' "$control/killed.out" || echo 'no output') | tail -n 1 | tr -d '\r')\""
    if [ "$(line_count "$control/killed.out")" -ge 1 ] && ! grep -qxF "$last_line" "$control/killed.out"; then
      hit=1
    else
      where="$where, too late"
    fi
  fi
  { wait "$installer"; } 2>/dev/null || true

  runs=$((runs + 1))
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
  if [ "$hit" -eq 1 ] || [ "$attempt" -eq 3 ]; then
    landed=$((landed + hit))
    moment=$((moment + 1))
    attempt=0
  fi
done
cleanup_prefix

echo "landed $landed/$moments, survived $survived/$runs, clean $clean/$runs"
[ "$landed" -eq "$moments" ] && [ "$survived" -eq "$runs" ] && [ "$clean" -eq "$runs" ]

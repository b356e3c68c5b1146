#!/usr/bin/env bash
# Renders the installer dialog as a person sees it at 100, 150 and 200 %
# display scale and writes one PNG per scale, for the README.
#
#   scripts/screenshot-dialog.sh [BUILD_DIR] [OUT_DIR]
#     BUILD_DIR: a built x86_64 tree (default build/x86_64)
#     OUT_DIR:   where installer-dialog-100.png, -150.png, -200.png go
#                (default docs/screenshots)
#
# Each scale runs the real installer without arguments in its own copy of the
# test harness's pristine prefix, with Wine's LogPixels set to the scale's
# DPI, on an Xvfb screen that is as much larger as a real display of that
# scale would be. The dialog is cancelled with Escape afterwards.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/x86_64}" && pwd)
out=${2:-$root/docs/screenshots}
installer=$build/bin/QuillmoreInstaller.exe
caption='Vantrel Quillmore 4.33 Installer'

die() { echo "screenshot-dialog: $*" >&2; exit 1; }
[ -f "$installer" ] || die "no installer at $installer: build the QuillmoreInstaller target first"
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || die "$tool is not installed"
done

export QUILLMORE_HARNESS_DIR=${QUILLMORE_HARNESS_DIR:-$build/wine}
# shellcheck source=../tests/harness/wine-harness
source "$root/tests/harness/wine-harness"
harness_ensure_pristine

work=$(mktemp -d "$HARNESS_DIR/screenshots.XXXXXX")
xvfb_pid=
cleanup() {
  for prefix in "$work"/pfx-*; do
    if [ -d "$prefix" ]; then WINEPREFIX=$prefix "$WINESERVER" -k >/dev/null 2>&1 || true; fi
  done
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# An Xvfb of its own, on the first free display number.
start_display() {  # width height
  mkfifo "$work/displayfd"
  Xvfb -displayfd 3 -screen 0 "$1x$2x24" -nolisten tcp </dev/null >/dev/null 2>&1 3>"$work/displayfd" &
  xvfb_pid=$!
  local number
  read -r -t 20 number <"$work/displayfd" || die "Xvfb did not start"
  rm -f "$work/displayfd"
  export DISPLAY=":$number"
}

stop_display() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
}

# Waits until two captures in a row are the same: the dialog has painted.
capture_settled() {  # window output
  local previous=$work/previous.png current=$work/current.png
  import -window "$1" "$previous"
  for _ in $(seq 50); do
    sleep 0.2
    import -window "$1" "$current"
    if cmp -s <(convert "$previous" rgb:-) <(convert "$current" rgb:-); then
      # Few colours, no dithering and no metadata keep the committed
      # pictures small (about 12, 20 and 30 KB).
      convert "$current" -strip +dither -colors 64 "PNG8:$2"
      return 0
    fi
    mv "$current" "$previous"
  done
  die "the dialog did not stop changing"
}

shoot() {  # percent
  local percent=$1 dpi=$(( $1 * 96 / 100 ))
  start_display $(( 1024 * percent / 100 )) $(( 768 * percent / 100 ))
  export WINEPREFIX=$work/pfx-$percent
  harness_copy_prefix "$HARNESS_DIR/pristine" "$WINEPREFIX"
  harness_start_private_server
  "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  "$WINE64" "$installer" </dev/null >"$work/installer-$percent.log" 2>&1 &
  local run=$!
  local window
  window=$(timeout 120 xdotool search --sync --onlyvisible --name "^$caption\$" | head -n 1) ||
    die "the dialog did not appear at $percent %"
  capture_settled "$window" "$out/installer-dialog-$percent.png"
  xdotool windowfocus --sync "$window" key Escape
  local rc=0
  wait "$run" || rc=$?
  [ "$rc" -eq 202 ] || die "the installer ended with $rc at $percent %, expected 202 (cancelled)"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  stop_display
  echo "screenshot-dialog: $out/installer-dialog-$percent.png ($dpi DPI)"
}

mkdir -p "$out"
for percent in 100 150 200; do
  shoot "$percent"
done

#!/usr/bin/env bash
# The main job, from a fresh clone: set up the machine, build the installer,
# install the sample product unattended into a fresh Wine prefix, and show
# what was installed (files, shortcuts, registry entries, PATH) and the
# installer's exit code.
#
# The shipped installer is the 32-bit (i686) build of the release-i686
# preset. This machine's kernel runs no 32-bit Windows programs (only
# wine64 is available), so the job runs the x86_64 build of the same
# sources from the test preset, as the tests do.
#
# The prefix stays afterwards for inspection: build/x86_64/wine/main.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/setup.sh
bash scripts/build-deps.sh x86_64-w64-mingw32

cmake --preset test-x86_64
cmake --build --preset test-x86_64 --target QuillmoreInstaller link_report
bin=$PWD/build/x86_64/bin

# A fresh prefix from the harness's pristine one; no display is needed for
# an unattended installation.
export QUILLMORE_HARNESS_DIR=$PWD/build/x86_64/wine
export QUILLMORE_NO_DISPLAY=1
# shellcheck source=../tests/harness/wine-harness
source tests/harness/wine-harness
harness_ensure_pristine
harness_ensure_display
prefix=$HARNESS_DIR/main
if [ -d "$prefix" ]; then WINEPREFIX="$prefix" "$WINESERVER" -k >/dev/null 2>&1 || true; fi
rm -rf "$prefix"
harness_copy_prefix "$HARNESS_DIR/pristine" "$prefix"
export WINEPREFIX=$prefix
harness_start_server
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT

install_dir='C:\Program Files\Vantrel Quillmore'
section() { printf '\n== %s\n' "$*"; }
run_wine() { "$WINE64" "$@" 2>/dev/null | tr -d '\r'; }
reg_query() { run_wine reg query "$@" || echo "(not present: $*)"; }

section "QuillmoreInstaller.exe -acceptEULA -installDir=$install_dir"
set +e
"$WINE64" "$bin/QuillmoreInstaller.exe" -acceptEULA "-installDir=$install_dir"
exit_code=$?
set -e

section "Files under $install_dir"
(cd "$prefix/drive_c/Program Files/Vantrel Quillmore" 2>/dev/null &&
  find . -type f -printf '%10s  %P\n' | sort -k2) || echo "(no installation directory)"

section "Shortcuts"
run_wine "$bin/link_report.exe"

section "Uninstall key"
reg_query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmore'

section "File associations"
for key in .qmp .pmx Vantrel.Quillmore.4.33.Profile Vantrel.Quillmore.4.33.Settings; do
  reg_query "HKLM\\Software\\Classes\\$key" /s
done

section "PATH"
reg_query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v PATH
reg_query 'HKCU\Environment' /v PATH

section "Exit code"
echo "$exit_code"
exit "$exit_code"

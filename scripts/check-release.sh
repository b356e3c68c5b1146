#!/usr/bin/env bash
# Static check of the shipped 32-bit installer, which cannot be run here:
# the executable's format, its resources and manifest, and its imports.
#
#   scripts/check-release.sh [BUILD_DIR]     (default build/i686)
set -euo pipefail

build=${1:-build/i686}
exe=$build/bin/QuillmoreInstaller.exe
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
failures=0

fail() { echo "check-release: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "check-release: ok: $*"; }

[ -f "$exe" ] || { echo "check-release: FAIL: $exe is missing" >&2; exit 1; }

# Format: PE32 (not PE32+), Intel 80386, console subsystem.
format=$(file -b "$exe")
case "$format" in
  "PE32 executable (console) Intel 80386"*) pass "$format" ;;
  *) fail "format is '$format', expected a PE32 console executable for Intel 80386" ;;
esac

# Resources, as the resource compiler reads them back from the executable.
resources=$(i686-w64-mingw32-windres -i "$exe" -O rc 2>/dev/null | grep -E '^[0-9]+ ' || true)
need_resource() {  # id, type as listed, description
  if grep -qE "^$1 $2( |\$)" <<<"$resources"; then pass "resource $1 ($3)"; else fail "resource $1 ($3) missing"; fi
}
need_resource 1 24 "manifest"
need_resource 129 '"RTF"' "licence agreement"
need_resource 130 '"RTF"' "package contents"
need_resource 148 '"BINARY"' "payload"
need_resource 149 '"BINARY"' "uninstaller"
need_resource 140 14 "icon"
need_resource 144 14 "icon"
if grep -rqsE '^[[:space:]]*103[[:space:]]+DIALOG' "$root"/ui/*.rc* "$root"/product/*.rc* "$root"/installer/*.rc*; then
  need_resource 103 5 "installer dialog"
fi

# The manifest's requests, in the resource section's bytes.
rsrc=$(mktemp)
trap 'rm -f "$rsrc"' EXIT
i686-w64-mingw32-objcopy -O binary --only-section=.rsrc "$exe" "$rsrc"
manifest=$(tr -d '\000' <"$rsrc" | tr '\n\r' '  ' | grep -ao '<assembly.*</assembly>' | head -n1 || true)
grep -q 'requestedExecutionLevel level="requireAdministrator"' <<<"$manifest" &&
  pass "manifest asks for administrator rights" || fail "manifest lacks requireAdministrator"
grep -qE 'name="Microsoft\.Windows\.Common-Controls" +version="6\.0\.0\.0"' <<<"$manifest" &&
  pass "manifest asks for common controls 6" || fail "manifest lacks common controls version 6"

# Imports: Windows system DLLs only (the C++ runtime is linked statically).
system_dlls="kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 comctl32 comdlg32 uxtheme version
  msvcrt shlwapi riched20 bcrypt crypt32 rpcrt4 ws2_32 winmm imm32 userenv secur32 ntdll"
imports=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
for dll in $imports; do
  if grep -qw "${dll%.dll}" <<<"$system_dlls"; then pass "imports $dll"; else fail "imports $dll, not a Windows system DLL"; fi
done

if [ "$failures" -ne 0 ]; then
  echo "check-release: $failures check(s) failed for $exe" >&2
  exit 1
fi
echo "check-release: all checks passed for $exe"

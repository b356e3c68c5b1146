#!/usr/bin/env bash
# Static check of the shipped 32-bit executables, which cannot run here: the
# installer and the uninstaller it carries. For each: the image format, its
# resources and manifest as the built file holds them, its imports, and that
# it carries no symbols or debug data. Prints the sizes a release is judged by.
# A check that cannot run (missing tool, unreadable resource section) fails.
#
#   scripts/check-release.sh [BUILD_DIR]     (default build/i686)
set -euo pipefail

build=${1:-build/i686}
installer=$build/bin/QuillmoreInstaller.exe
uninstaller=$build/bin/uninst.exe
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
failures=0

fail() { echo "check-release: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "check-release: ok: $*"; }
cannot() { echo "check-release: FAIL: cannot check: $*" >&2; exit 2; }

for tool in file python3 i686-w64-mingw32-objdump; do
  command -v "$tool" >/dev/null || cannot "$tool is not installed (run scripts/setup.sh)"
done
for exe in "$installer" "$uninstaller"; do
  [ -f "$exe" ] || cannot "$exe is missing (build the release-i686 preset first)"
done

# "TYPE NAME LANG SIZE" per resource of the built image; dies when unreadable.
list_resources() {
  python3 "$here/pe-resources.py" "$1" || cannot "the resource section of $1 is unreadable"
}
resource_size() {  # listing, type, name
  awk -v t="$2" -v n="$3" '$1 == t && $2 == n { print $4; exit }' <<<"$1"
}

check_format() {  # exe
  local format
  format=$(file -b "$1")
  case "$format" in
    "PE32 executable (console) Intel 80386"*) pass "$(basename "$1"): $format" ;;
    *) fail "$(basename "$1"): format is '$format', expected a PE32 console executable for Intel 80386" ;;
  esac
}

check_resources() {  # exe, listing, then "type name description" triples
  local exe=$1 listing=$2
  shift 2
  while [ $# -ge 3 ]; do
    if [ -n "$(resource_size "$listing" "$1" "$2")" ]; then
      pass "$(basename "$exe"): resource $2 ($3)"
    else
      fail "$(basename "$exe"): resource $2 of type $1 ($3) missing"
    fi
    shift 3
  done
}

check_manifest() {  # exe
  local manifest
  manifest=$(python3 "$here/pe-resources.py" "$1" 24 1 | tr '\n\r' '  ') ||
    cannot "the manifest of $1 is unreadable"
  grep -q 'requestedExecutionLevel level="requireAdministrator"' <<<"$manifest" &&
    pass "$(basename "$1"): manifest asks for administrator rights" ||
    fail "$(basename "$1"): manifest lacks requireAdministrator"
  grep -qE '<dpiAware [^>]*>true</dpiAware>' <<<"$manifest" &&
    pass "$(basename "$1"): manifest declares DPI awareness" ||
    fail "$(basename "$1"): manifest lacks DPI awareness"
}

# Windows system DLLs only: the C++ runtime is linked statically.
system_dlls="kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 comctl32 comdlg32 uxtheme version
  msvcrt shlwapi riched20 bcrypt crypt32 rpcrt4 ws2_32 winmm imm32 userenv secur32 ntdll"
check_imports() {  # exe
  local headers dll imports
  headers=$(i686-w64-mingw32-objdump -p "$1") || cannot "objdump cannot read $1"
  imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
  [ -n "$imports" ] || fail "$(basename "$1"): no imports found"
  for dll in $imports; do
    if grep -qw "${dll%.dll}" <<<"$system_dlls"; then
      pass "$(basename "$1"): imports $dll"
    else
      fail "$(basename "$1"): imports $dll, not a Windows system DLL"
    fi
  done
}

check_stripped() {  # exe
  local sections symbols
  sections=$(i686-w64-mingw32-objdump -h "$1") || cannot "objdump cannot read $1"
  symbols=$(i686-w64-mingw32-objdump -t "$1") || cannot "objdump cannot read $1"
  if grep -q '\.debug' <<<"$sections"; then
    fail "$(basename "$1"): carries debug sections"
  elif ! grep -q '^no symbols' <<<"$symbols"; then
    fail "$(basename "$1"): carries a symbol table"
  else
    pass "$(basename "$1"): stripped"
  fi
}

installer_resources=$(list_resources "$installer")
uninstaller_resources=$(list_resources "$uninstaller")

check_format "$installer"
check_resources "$installer" "$installer_resources" \
  24 1 "manifest" '"RTF"' 129 "licence agreement" '"RTF"' 130 "package contents" \
  '"BINARY"' 148 "payload" '"BINARY"' 149 "uninstaller" 14 140 "icon" 14 144 "icon" \
  5 103 "installer dialog"
check_manifest "$installer"
manifest=$(python3 "$here/pe-resources.py" "$installer" 24 1 | tr '\n\r' '  ')
grep -qE 'name="Microsoft\.Windows\.Common-Controls" +version="6\.0\.0\.0"' <<<"$manifest" &&
  pass "QuillmoreInstaller.exe: manifest asks for common controls 6" ||
  fail "QuillmoreInstaller.exe: manifest lacks common controls version 6"
check_imports "$installer"
check_stripped "$installer"

check_format "$uninstaller"
check_resources "$uninstaller" "$uninstaller_resources" 24 1 "manifest"
check_manifest "$uninstaller"
check_imports "$uninstaller"
check_stripped "$uninstaller"

# Sizes. The installer's own weight is what it adds to the product it carries.
installer_size=$(stat -c %s "$installer")
uninstaller_size=$(stat -c %s "$uninstaller")
payload_size=$(resource_size "$installer_resources" '"BINARY"' 148)
packed_uninstaller_size=$(resource_size "$installer_resources" '"BINARY"' 149)
if [ -n "$payload_size" ] && [ -n "$packed_uninstaller_size" ]; then
  own_weight=$((installer_size - payload_size - packed_uninstaller_size))
  echo "check-release: size: QuillmoreInstaller.exe $installer_size B = own weight $own_weight B" \
    "+ payload $payload_size B + compressed uninstaller $packed_uninstaller_size B"
fi
echo "check-release: size: uninst.exe $uninstaller_size B"

# What each library brings in, from the maps the release link writes.
for exe in "$installer" "$uninstaller"; do
  map=$build/$(basename "$exe" .exe).map
  [ -f "$map" ] || cannot "$map is missing (the release link writes it)"
  python3 "$here/size-by-origin.py" "$map" "$exe" | sed 's/^/check-release: size: /' ||
    cannot "$map is unreadable"
done

if [ "$failures" -ne 0 ]; then
  echo "check-release: $failures check(s) failed in $build/bin" >&2
  exit 1
fi
echo "check-release: all checks passed for $installer and $uninstaller"

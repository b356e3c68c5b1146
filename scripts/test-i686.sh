#!/usr/bin/env bash
# The i686 lane: the shipped architecture's own tests. Builds the 32-bit test
# executables (preset test-i686) and runs the lane's cases
# (tests/harness/i686-lane) with 32-bit Wine inside one boot of the
# emulated machine (tests/harness/i686-vm-run; its guest root is built and
# cached on first use, outside the clone). Ends with the line
# "i686 lane: N passed, M failed" and the lane's wall time; exit code 0 only
# when every case passed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# The guest root is one-time work, apart from the lane's own time.
tests/harness/i686-vm-build
started=$SECONDS

targets=(foundation_tests ui_toolkit_tests system_tests previous_installation_tests engine_tests
         installation_tests life_cycle_tests dll_planting_tests uninstaller_tests
         ui_installer_tests)
cmake --preset test-i686 >/dev/null
cmake --build --preset test-i686 -j2 --target "${targets[@]}"

results=build/i686-test/i686-lane.results
# The system DLLs the test programs import: each prefix must hold them.
imports=build/i686-test/i686-lane.imports
executables=("${targets[@]/%/.exe}")
i686-w64-mingw32-objdump -p "${executables[@]/#/build/i686-test/bin/}" |
  sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u > "$imports"

run_lane() {
  rm -f "$results"
  vm_rc=0
  tests/harness/i686-vm-run --no-prefix --display --work "$PWD" -- \
    bash tests/harness/i686-lane build/i686-test/bin "$results" "$imports" || vm_rc=$?
}
run_lane
# A cached guest root whose prefixes no longer pass their proof is built
# anew, once, rather than failing every case.
if broken=$(sed -n 's/^broken //p' "$results" 2>/dev/null) && [ -n "$broken" ]; then
  echo "i686 lane: the cached $broken prefix failed its proof; rebuilding the guest root"
  tests/harness/i686-vm-build --rebuild
  run_lane
fi

passed=0 failed=0
if [ -f "$results" ]; then
  passed=$(grep -c '^passed ' "$results" || true)
  failed=$(grep -c '^failed ' "$results" || true)
fi
if [ "$vm_rc" -ne 0 ] || [ ! -s "$results" ]; then
  echo "i686 lane: the emulated machine failed (exit $vm_rc)" >&2
  failed=$((failed + 1))
fi
if [ "$failed" -gt 0 ] && [ -f "$results" ]; then
  echo "Failed i686 cases:"
  sed -n 's/^failed /  /p' "$results"
fi
elapsed=$((SECONDS - started))
echo "i686 lane: $passed passed, $failed failed"
echo "i686 lane wall time: $((elapsed / 60)) min $((elapsed % 60)) s"
[ "$failed" -eq 0 ]

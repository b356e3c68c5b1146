#!/usr/bin/env bash
# Builds the native fuzz targets (clang, libFuzzer, ASan, UBSan) and runs
# each from a scratch copy of its committed seed corpus, then prints one line
# per target: executions, executions per second, coverage (edges and
# features) and findings. Exits 1 when any target found something; the
# reproducer is kept in build/fuzz/findings/.
#
#   tests/fuzz/run-campaign.sh                 10^6 executions per target
#   tests/fuzz/run-campaign.sh --runs N        N executions per target
#   tests/fuzz/run-campaign.sh --seconds S     S seconds per target (CI)
#   tests/fuzz/run-campaign.sh ... TARGET...   only these targets
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$root/build/fuzz

limit=(-runs=1000000)
case "${1:-}" in
  --runs) limit=(-runs="$2"); shift 2 ;;
  --seconds) limit=(-max_total_time="$2"); shift 2 ;;
esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(payload_messages command_list command_line payload_manifest)

CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE= >/dev/null
cmake --build "$build" -j2 >/dev/null

rm -rf "$build/findings" "$build/corpus"
mkdir -p "$build/findings"
summary=()
failed=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  cp "$here/corpus/$target"/* "$corpus/"
  log=$build/$target.log
  set +e
  "$build/${target}_fuzzer" "${limit[@]}" -max_len=8192 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$target-" "$corpus" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)
  findings=$(find "$build/findings" -name "$target-*" | wc -l)
  summary+=("$(printf '%-18s %9s executions %7s exec/s  %-18s findings: %s' \
    "$target" "${runs:-?}" "${speed:-?}" "${coverage:-cov: ?}" "$findings")")
  if [ $rc -ne 0 ] || [ "$findings" -ne 0 ]; then
    failed=1
    grep -E 'property violated|ERROR:|SUMMARY:' "$log" | head -5 >&2 || true
    find "$build/findings" -name "$target-*" >&2
  fi
done
printf '%s\n' "${summary[@]}"
exit $failed

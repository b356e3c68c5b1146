#!/usr/bin/env bash
# Mutation check (slow, not part of CI): plants each fault of mutants.tsv in
# a clean checkout of HEAD (a git worktree under /tmp), rebuilds the one test
# executable that should catch it, and runs those cases. A fault the tests let
# pass is a missing test: add the test, never weaken the fault.
#
#   tests/mutation/run-mutants.sh [name-pattern]      (default: every fault)
#
# A fault names the one source line it changes by that line's text, not by
# file and line number, so it survives files being moved or reformatted; a
# line that is no longer found exactly once is reported as "stale" and
# counts as not caught. Last line: "caught N/M"; exit code 0 when N = M.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
here=$root/tests/mutation
pattern=${1:-.}
tree=$(mktemp -d /tmp/quillmore-mutants.XXXXXX)
git -C "$root" worktree add -q --detach "$tree" HEAD
cleanup() { git -C "$root" worktree remove --force "$tree" || true; }
trap cleanup EXIT
cd "$tree"
cmake --preset test-x86_64 >"$tree/configure.log"

caught=0
total=0
while IFS=$'\t' read -r name line replacement target cases; do
  case "$name" in ''|'#'*) continue ;; esac
  [[ "$name" =~ $pattern ]] || continue
  total=$((total + 1))
  git checkout -q -- .
  if ! where=$(python3 "$here/plant.py" "$line" "$replacement"); then
    echo "$name: stale ($where)"
    continue
  fi
  verdict=SURVIVED
  if ! cmake --build --preset test-x86_64 -j2 --target "$target" >"$tree/build.log" 2>&1; then
    verdict="does not build"
    tail -n 5 "$tree/build.log" | sed 's/^/    /'
  elif ! ctest --preset test-x86_64 -R "$cases" >"$tree/test.log" 2>&1; then
    verdict=caught
    caught=$((caught + 1))
  fi
  echo "$name: $verdict in $where ($target: $cases)"
done <"$here/mutants.tsv"
git checkout -q -- .

echo "caught $caught/$total"
[ "$total" -gt 0 ] && [ "$caught" -eq "$total" ]

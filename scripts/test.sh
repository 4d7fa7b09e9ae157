#!/usr/bin/env bash
# Builds and runs every test: the core alone (no Qt, no Windows headers), the Qt front end with
# its end-to-end suite on a virtual display, packaging checks, bounded fuzzing, and the Windows
# front end cross-built and run under Wine. Every stage runs; the exit status says whether all
# passed, and the last line sums up the tests.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/setup.sh test || exit 1

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
failed_stages=()

stage() {
  local name="$1"; shift
  echo "=== $name"
  if ! "$@" 2>&1 | tee -a "$log"; then
    failed_stages+=("$name")
  fi
}

ctest_preset() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$(nproc)" && ctest --preset "$1" -j 2
}

stage "core alone" ctest_preset core-only
stage "Linux (Qt)" ctest_preset default
[ -f scripts/fuzz.sh ] && stage "fuzzing" bash scripts/fuzz.sh "${LATCHSWEEP_FUZZ_SECONDS:-5}"
[ -f scripts/windows-tests.sh ] && stage "Windows (Wine)" bash scripts/windows-tests.sh

passed=0
failed=0
while read -r fail total; do
  passed=$((passed + total - fail))
  failed=$((failed + fail))
done < <(sed -nE 's/.*tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' "$log")

echo
if ((${#failed_stages[@]})); then
  echo "Failed stages: ${failed_stages[*]}"
  ((failed == 0)) && failed=${#failed_stages[@]}
fi
echo "tests: $passed passed, $failed failed"
((${#failed_stages[@]} == 0))

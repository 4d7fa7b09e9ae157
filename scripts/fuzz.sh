#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang++ and runs each for a bounded time.
#
#   bash scripts/fuzz.sh [seconds-per-target]     (default 10)
#
# Every run first replays the seed corpus in fuzz/corpus/<target>/ (which also keeps the inputs
# that once crashed a target), then explores from it. New inputs go to build/fuzz/corpus/<target>/
# and a crashing input to build/fuzz/artifacts/<target>/; the script then ends with status 1.
set -euo pipefail

seconds="${1:-10}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/fuzz"
compiler="${CXX_FUZZ:-clang++}"

if ! command -v "$compiler" >/dev/null; then
  echo "fuzz: $compiler not found (install clang and libclang-rt-dev)" >&2
  exit 2
fi

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root/fuzz" -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
fi
if ! built="$(cmake --build "$build" -j2 2>&1)"; then
  printf '%s\n' "$built" | grep -E 'error|FAILED' | head -20 >&2
  echo "fuzz: the fuzz targets did not build" >&2
  exit 1
fi

status=0
for fuzzer in "$build"/fuzz_*; do
  [[ -x "$fuzzer" ]] || continue
  target="$(basename "$fuzzer")"
  target="${target#fuzz_}"
  seeds="$root/fuzz/corpus/$target"
  work="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  mkdir -p "$work" "$artifacts"
  log="$build/$target.log"
  started=$SECONDS
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "$seeds" >"$log" 2>&1; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    echo "fuzz $target: ok, ${runs:-?} inputs in $((SECONDS - started)) s, corpus $(ls "$work" | wc -l) files"
  else
    status=1
    echo "fuzz $target: FAILED after $((SECONDS - started)) s; input kept in $artifacts/, log $log" >&2
    grep -E "^(==|SUMMARY|.*runtime error)" "$log" | head -5 >&2 || true
  fi
done
exit "$status"

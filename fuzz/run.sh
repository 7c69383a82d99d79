#!/usr/bin/env bash
# Runs each fuzz target in turn for SECONDS: run.sh BUILD_DIR SECONDS TARGET...
# New inputs go to BUILD_DIR/fuzz-work/TARGET, never into the committed
# corpus; FUZZ_FLAGS are passed to libFuzzer.  A finding stops the run with
# the reproducer's path; otherwise a line a target gives its executions and
# covered edges.
set -uo pipefail
build=$(cd "$1" && pwd) seconds=$2
shift 2
src=$(cd "$(dirname "$0")/.." && pwd)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Inputs are written to files for the readers: in memory when possible.
[[ -z "${TMPDIR:-}" && -w /dev/shm ]] && export TMPDIR=/dev/shm
for t in "$@"; do
  work="$build/fuzz-work/$t" findings="$build/fuzz-findings/$t"
  mkdir -p "$work" "$findings"
  dirs=("$work" "$src/fuzz/corpus/$t")
  [[ -d "$src/tests/fuzz_regressions/$t" ]] && dirs+=("$src/tests/fuzz_regressions/$t")
  log="$build/fuzz-$t.log"
  echo "fuzz: $t for ${seconds}s (log $log)"
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -dict="$src/fuzz/tarvo.dict" -artifact_prefix="$findings/" ${FUZZ_FLAGS:-} "${dirs[@]}" >"$log" 2>&1
  status=$?
  if [[ $status -ne 0 ]]; then
    grep -E "ERROR|runtime error|SUMMARY" "$log" | head -5
    repro=$(grep -oE "Test unit written to [^ ]+" "$log" | tail -1 | cut -d' ' -f5)
    echo "fuzz: FINDING in $t: reproducer ${repro:-(see $log)}"
    echo "fuzz: replay it with $build/fuzz/fuzz_$t ${repro:-FILE}"
    exit 1
  fi
  runs=$(grep -oE "stat::number_of_executed_units: *[0-9]+" "$log" | grep -oE "[0-9]+$")
  cov=$(grep -oE "cov: [0-9]+ ft: [0-9]+" "$log" | tail -1)
  echo "fuzz: $t: ${runs:-?} executions, $cov, corpus $(ls "$work" | wc -l) new inputs"
done

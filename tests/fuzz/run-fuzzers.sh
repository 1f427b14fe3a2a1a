#!/usr/bin/env bash
# Runs fuzz targets of a fuzz build for SECONDS each and fails when any of
# them reports a finding (a crash, a sanitizer report, a broken property, an
# input slower than 10 s, or more than 2 GiB of memory).
#
# Usage: run-fuzzers.sh BUILD_DIR SECONDS [NAME...]   (default: every fuzz_* target)
#
# Each target starts from its seed corpus tests/fuzz/corpus/NAME, which stays
# untouched; inputs it finds go to BUILD_DIR/fuzz-work/NAME/corpus and carry
# over to the next run of the same build. A finding is saved to
# BUILD_DIR/fuzz-work/NAME/findings/; replay it with
#   BUILD_DIR/tests/fuzz/fuzz_NAME FILE
# and turn it into a regression test before mending it.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR SECONDS [NAME...]" >&2
  exit 2
fi
build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for exe in "$build"/tests/fuzz/fuzz_*; do
    [ -x "$exe" ] && names+=("${exe##*/fuzz_}")
  done
fi
if [ ${#names[@]} -eq 0 ]; then
  echo "no fuzz targets in $build/tests/fuzz: configure with -DTELVORN_FUZZ=ON and build telvorn_fuzzers" >&2
  exit 1
fi

# Readable stack traces, and every report fatal.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
command -v llvm-symbolizer-14 >/dev/null && export ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer-14)

failed=()
for name in "${names[@]}"; do
  seeds=$here/corpus/$name
  work=$build/fuzz-work/$name
  mkdir -p "$work/corpus" "$work/findings"
  extra=()
  [ -f "$here/$name.options" ] && read -r -a extra < "$here/$name.options"
  echo "=== fuzz_$name: ${seconds} s from $(find "$seeds" -type f | wc -l) seeds"
  # -close_fd_mask=3: the targets' own output is noise; libFuzzer and the
  # sanitizers still report on their own descriptor.
  if "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=3 \
       -print_final_stats=1 -artifact_prefix="$work/findings/" "${extra[@]}" \
       "$work/corpus" "$seeds" > "$work/log.txt" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done' "$work/log.txt" | tr '\n' ' '
    echo
  else
    failed+=("$name")
    tail -n 60 "$work/log.txt"
    echo "FINDING in fuzz_$name: see $work/findings/ and $work/log.txt"
  fi
done

echo "fuzz: $((${#names[@]} - ${#failed[@]})) passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]

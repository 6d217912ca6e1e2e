#!/usr/bin/env bash
# Runs every fuzz harness of the sanitizer build for a bounded time, starting from its seed inputs in
# fuzz/corpus/<name>/ (left unchanged; new inputs go to a scratch folder). A harness that crashes, hangs or
# leaks fails the run; the input that did it is kept as <build>/fuzz-<name>-crash-... and shown. Harnesses
# named in fuzz/known-findings.txt have a known fault being mended: theirs is shown but does not fail.
#   scripts/fuzz.sh [build folder, default build-sanitize] [seconds per harness, default 15]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-sanitize}
seconds=${2:-15}
shopt -s nullglob
harnesses=("$build"/fuzz/*)
if [ ${#harnesses[@]} -eq 0 ]; then
  echo "fuzz: no harnesses in $build/fuzz (the sanitizer build with clang makes them)" >&2
  exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
rm -f "$build"/fuzz-*-crash-* "$build"/fuzz-*-leak-* "$build"/fuzz-*-timeout-* "$build"/fuzz-*-oom-*
# The fuzzer reports a fault itself and exits with a failure; no abort is needed for that.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:abort_on_error=0"
failed=0
passed=0
known=0
is_known() { grep -q "^$1[[:space:]]" fuzz/known-findings.txt 2>/dev/null; }
for harness in "${harnesses[@]}"; do
  name=$(basename "$harness")
  mkdir -p "$scratch/$name"
  log="$scratch/$name.log"
  if "$harness" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$build/fuzz-$name-" "$scratch/$name" "fuzz/corpus/$name" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $name: ${runs:-?} inputs in ${seconds} s, no fault"
    passed=$((passed + 1))
  elif is_known "$name"; then
    echo "fuzz: $name: known finding ($(grep "^$name[[:space:]]" fuzz/known-findings.txt | sed 's/^[^[:space:]]*[[:space:]]*//')):"
    grep -E 'SUMMARY|^    #[0-5] ' "$log" | head -8
    known=$((known + 1))
  else
    echo "fuzz: $name: FAULT"
    grep -v '^#[0-9]' "$log" | tail -60
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed harnesses without a fault, $known with a known finding, $failed with a new fault"
[ "$failed" -eq 0 ]

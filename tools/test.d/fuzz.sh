#!/usr/bin/env bash
# Builds the description fuzzer with clang and libFuzzer (build-fuzz/) and runs it for a
# bounded 60 seconds from fuzz/corpus. A crash, a sanitizer report, a failed check of the
# fuzz target or an input slower than 10 seconds fails the step; the input that did it is
# kept in build-fuzz/artifacts/ (see fuzz/README.md for reproducing it).
#   bash tools/test.d/fuzz.sh ROOT JOBS
set -euo pipefail

root=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
jobs=${2:-2}
build="$root/build-fuzz"

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build" -j "$jobs"

# New inputs go to a scratch folder: the committed corpus is only read.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/artifacts"
log="$build/fuzz-ci.log"
status=0
"$build/description_fuzzer" "$work" "$root/fuzz/corpus" -dict="$root/fuzz/description.dict" \
  -max_total_time=60 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/artifacts/" \
  -print_final_stats=1 >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  tail -n 150 "$log"
  echo "The fuzzer failed (status $status); the input is in $build/artifacts/"
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log"

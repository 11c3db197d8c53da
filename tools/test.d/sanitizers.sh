#!/usr/bin/env bash
# The whole test suite again, built with AddressSanitizer, UndefinedBehaviorSanitizer and
# leak checking (build-asan/), the window's tests included when the window is built.
# Fails on any sanitizer report, also one from a child process whose exit status a test
# does not look at: every report goes to a log file, and any log file fails the step.
#   bash tools/test.d/sanitizers.sh ROOT JOBS
set -euo pipefail

root=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
jobs=${2:-2}
build="$root/build-asan"
logs="$build/sanitizer-logs"

# -O1 without -DNDEBUG: the asserts of the analysis stay on, and the build is quicker than -O2.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DRAMIVO_SANITIZE=ON -DRAMIVO_BUILD_BENCH=OFF \
  >/dev/null
cmake --build "$build" -j "$jobs"

rm -rf "$logs"
mkdir -p "$logs"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:strict_string_checks=1:log_path=$logs/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$logs/ubsan"
# Leaks that are not ours (Qt's and fontconfig's caches that live until exit): see the file.
export LSAN_OPTIONS="suppressions=$root/tools/test.d/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

status=0
(cd "$build" && ctest --output-on-failure -j "$jobs") || status=$?

if compgen -G "$logs/*" >/dev/null; then
  echo "Sanitizer reports:"
  for log in "$logs"/*; do
    echo "--- $log"
    cat "$log"
  done
  status=1
fi
exit "$status"

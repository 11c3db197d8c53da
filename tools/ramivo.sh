#!/usr/bin/env bash
# Set-up, build, start and test ramivo on a Debian machine, as root, from a fresh clone.
#   bash tools/ramivo.sh run    builds and starts the window (or the batch tool without a display)
#   bash tools/ramivo.sh test   builds and runs every test
# Both install what is missing with apt-get and are safe to run twice.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
jobs=$(nproc 2>/dev/null || echo 2)

packages_run=(cmake make g++ libgtest-dev qt6-base-dev)
packages_test=("${packages_run[@]}" libbenchmark-dev xvfb xauth graphviz clang-14 libclang-rt-14-dev)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  fi
}

configure_and_build() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

case "${1:-}" in
  run)
    install_missing "${packages_run[@]}"
    configure_and_build "$build"
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/ramivo" ]; then
      exec "$build/ramivo"
    fi
    echo "No display available: running ramivo-cli on examples/start_mid_hi.txt instead."
    "$build/ramivo-cli" "$root/examples/start_mid_hi.txt" || true
    echo "--- $root/examples/start_mid_hi.txt.Out"
    cat "$root/examples/start_mid_hi.txt.Out"
    ;;
  test)
    install_missing "${packages_test[@]}"
    configure_and_build "$build" -DRAMIVO_BUILD_BENCH=ON
    (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
    # Further checks (sanitizer build, fuzzing) live beside this script.
    for extra in "$root"/tools/test.d/*.sh; do
      [ -e "$extra" ] || continue
      echo "=== $(basename "$extra")"
      bash "$extra" "$root" "$jobs"
    done
    ;;
  *)
    echo "usage: bash tools/ramivo.sh run|test" >&2
    exit 2
    ;;
esac

#!/usr/bin/env bash
# The whole-booth soak: builds the driver and runs a repeat series of
# [shots] (default 1000) through the real screens with the simulated camera
# and board, under Xvfb when there is no display. Prints shots per minute and
# the memory curve; exits non-zero when the soak fails.
#
#   scripts/soak.sh [shots] [driver options, e.g. --mode portrait]
#
# SULO_SOAK_BUILD_DIR picks the build folder (default build-soak-release, an
# optimised build made on first use); an existing folder keeps its own
# configuration, so a sanitizer build folder runs the soak under sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
shots=${1:-1000}
[ $# -gt 0 ] && shift
build=${SULO_SOAK_BUILD_DIR:-build-soak-release}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DSULO_BUILD_BENCH=OFF
fi
cmake --build "$build" -j "$(nproc)" --target sulo_soak
run=("$build/bench/soak/sulo_soak" --shots "$shots" "$@")
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "${run[@]}"
fi
exec "${run[@]}"

#!/usr/bin/env bash
# Installs what is missing, builds Sulo with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
build=${SULO_BUILD_DIR:-build}
# The compiler cache, where the machine has one, shared by every clone.
if command -v ccache > /dev/null 2>&1; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug "$@"
cmake --build "$build" -j "$(nproc)"
# Widget tests need a display: use Xvfb's when none is there.
if [ -z "${DISPLAY:-}" ] && [ -z "${SULO_NO_XVFB:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
fi
exec ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

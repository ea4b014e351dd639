#!/usr/bin/env bash
# Installs what is missing, builds Sulo and starts it (simulated camera and board).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSULO_BUILD_BENCH=OFF
cmake --build build-release -j "$(nproc)" --target sulo
exec ./build-release/src/app/sulo

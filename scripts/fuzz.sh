#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each over its seed corpus.
#
#   scripts/fuzz.sh [seconds per harness] [harness...]
#
# The default, 12 seconds each, is the short run CI makes so that a
# regression on a known input, or one found quickly, fails the build. Long
# runs: scripts/fuzz.sh 1800 fuzz_configuration. New inputs the fuzzer finds
# go to a work folder (build-fuzz/corpus-<harness>), never into the seeds; a
# crash leaves its input in build-fuzz/ as crash-*.
#   scripts/fuzz.sh --seeds   rewrites the picture seeds from the simulated camera
set -euo pipefail
cd "$(dirname "$0")/.."

need=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
./scripts/install-deps.sh

build=${SULO_FUZZ_BUILD_DIR:-build-fuzz}
CXX=clang++ cmake -S . -B "$build" -DSULO_FUZZ=ON -DSULO_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=None \
  -DCMAKE_CXX_FLAGS="-O1 -g" > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j "$(nproc)" --target sulo_fuzzers fuzz_make_seeds
build=$(cd "$build" && pwd)

corpus=$PWD/tests/fuzz/corpus
if [ "${1:-}" = "--seeds" ]; then
  rm -f "$corpus"/picture/* "$corpus"/viewer_file/*
  "$build/tests/fuzz/fuzz_make_seeds" "$corpus/picture" "$corpus/viewer_file"
  exit 0
fi

seconds=${1:-12}
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -eq 0 ] && harnesses=(fuzz_configuration fuzz_prop_desc fuzz_board_scan fuzz_picture fuzz_viewer_file)

failed=0
for h in "${harnesses[@]}"; do
  seeds="$corpus/${h#fuzz_}"
  work="$build/corpus-${h#fuzz_}"
  mkdir -p "$work"
  echo "== $h: ${seconds}s over $seeds"
  log="$build/$h.log"
  if (cd "$build" && "./tests/fuzz/$h" "$work" "$seeds" -max_total_time="$seconds" -timeout=30 \
        -rss_limit_mb=3072 -print_final_stats=1) > "$log" 2>&1; then
    grep -E "^#[0-9]+ +DONE|stat::number_of_executed_units|stat::average_exec_per_sec" "$log" || true
  else
    failed=1
    echo "!! $h failed:"
    tail -60 "$log"
  fi
done
exit $failed

#!/usr/bin/env bash
# The core on Windows, checked on this machine.
#
# Cross-builds the device and configuration libraries with their tests for
# 64-bit Windows (Debian's mingw-w64, GoogleTest from its sources) and runs
# the tests under Wine. The controller boards are simulated on the Linux side
# (sulo_sim_boards) and mapped to COM ports of the Wine prefix, so the Windows
# programs reach them as they would a real board; the simulated camera is fed
# pictures made on the Linux side (sulo_sim_pictures). The same libraries and
# tests are built for 32-bit Windows, the camera SDK's platform, as a compile
# and link check only: running them would need wine32 and the i386 packages.
#
# Ends with "N passed, M failed" (test cases; a test program that gives no
# result counts as one failure) and fails when M is not 0.
#
# Build folders: build-win-host (the Linux tools), build-win64, build-win32.
# SULO_JOBS sets the build's parallel jobs (default: the processor count).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${SULO_JOBS:-$(nproc)}
host=$root/build-win-host
win64=$root/build-win64
win32=$root/build-win32

# --- packages -------------------------------------------------------------
packages=(
  build-essential cmake libgtest-dev googletest libjpeg62-turbo-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then missing+=("$p"); fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# --- builds ---------------------------------------------------------------
echo "== Linux tools"
mkdir -p "$host" "$win64" "$win32"
cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=Release -DSULO_BUILD_UI=OFF -DSULO_BUILD_BENCH=OFF > "$host/configure.log"
cmake --build "$host" -j "$jobs" --target sulo_sim_boards sulo_sim_pictures
pictures=$host/sim-pictures
"$host/src/simulator/camera/sulo_sim_pictures" "$pictures"

for build in "$win64:x86_64" "$win32:i686"; do
  dir=${build%%:*}
  arch=${build##*:}
  echo "== Windows $arch"
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" -DCMAKE_BUILD_TYPE=Debug \
    -DSULO_BUILD_UI=OFF -DSULO_BUILD_BENCH=OFF -DSULO_SIM_PICTURES_DIR="$pictures" > "$dir/configure.log"
  cmake --build "$dir" -j "$jobs"
done
echo "32-bit Windows: $(find "$win32/tests" -name '*_tests.exe' | wc -l) test programs compiled and linked (not run)"

# --- Wine, with the boards on COM ports -------------------------------------
export WINEPREFIX=$win64/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Wine prefix"
  wineboot --init > /dev/null 2>&1
  wineserver --wait
fi

journal=$win64/board-journal.txt
boards=$win64/boards.txt
rm -f "$journal" "$boards"
board_pid=""
cleanup() {
  if [ -n "$board_pid" ]; then kill "$board_pid" 2> /dev/null || true; fi
  wineserver --kill > /dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 143' TERM INT
# A silent port sorts before the board's, which ends the scan; the short
# answer sorts after it and serves the read test.
board_spec=(COM11=silent COM12=ack COM13=shortack)
"$host/src/simulator/board/sulo_sim_boards" "$journal" "${board_spec[@]}" > "$boards" &
board_pid=$!
for _ in $(seq 100); do grep -q '^ready$' "$boards" 2> /dev/null && break; sleep 0.1; done
grep -q '^ready$' "$boards" || { echo "the simulated boards did not start"; exit 1; }
while read -r name device; do
  [ "$name" = ready ] && break
  # Wine maps a COM port to a device of ours this way, and lists it in the
  # serial-device map as well.
  wine reg add 'HKLM\Software\Wine\Ports' /v "$name" /t REG_SZ /d "$device" /f > /dev/null 2>&1
done < "$boards"
# The port devices are made when the prefix starts.
wineserver --kill > /dev/null 2>&1 || true
wineserver --wait > /dev/null 2>&1 || true
SULO_TEST_BOARDS=$(IFS=,; echo "${board_spec[*]}")
export SULO_TEST_BOARDS
SULO_TEST_BOARD_JOURNAL=$(winepath -w "$journal" 2> /dev/null)
export SULO_TEST_BOARD_JOURNAL

# --- the tests ------------------------------------------------------------
passed=0
failed=0
skipped=0
results=$win64/results
rm -rf "$results"
mkdir -p "$results"
while read -r program; do
  name=$(basename "$program" .exe)
  xml=$results/$name.xml
  log=$results/$name.log
  start=$(date +%s)
  status=0
  timeout 900 wine "$program" --gtest_output="xml:$(winepath -w "$xml" 2> /dev/null)" > "$log" 2>&1 || status=$?
  seconds=$(($(date +%s) - start))
  if [ -f "$xml" ]; then
    # The totals of the <testsuites> element.
    summary=$(grep -m1 '<testsuites ' "$xml")
    tests=$(sed -n 's/.* tests="\([0-9]*\)".*/\1/p' <<< "$summary")
    failures=$(sed -n 's/.* failures="\([0-9]*\)".*/\1/p' <<< "$summary")
    errors=$(sed -n 's/.* errors="\([0-9]*\)".*/\1/p' <<< "$summary")
    skips=$(grep -c '<skipped' "$xml" || true)
    bad=$((failures + errors))
    passed=$((passed + tests - bad - skips))
    failed=$((failed + bad))
    skipped=$((skipped + skips))
    printf '%-28s %3d passed, %d failed, %d skipped (%ds)\n' "$name" $((tests - bad - skips)) "$bad" "$skips" "$seconds"
    if [ "$bad" -gt 0 ] || [ "$status" -ne 0 ]; then grep -E '^\[  FAILED  \]|Failure' "$log" | sort -u | sed 's/^/    /' || true; fi
    # A skip's message is its place, a line break, then its reason.
    sed -n 's/.*<skipped message="[^"]*&#x0A;\([^"]*\)".*/    skipped: \1/p' "$xml" | sort -u || true
  else
    failed=$((failed + 1))
    printf '%-28s no result (exit %d after %ds); its output:\n' "$name" "$status" "$seconds"
    tail -20 "$log" | sed 's/^/    /'
  fi
done < <(find "$win64/tests" -name '*_tests.exe' | sort)

echo "$skipped skipped"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

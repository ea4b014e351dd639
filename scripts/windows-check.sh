#!/usr/bin/env bash
# Sulo on Windows, checked on this machine.
#
# Cross-builds the whole program with the simulated camera for 64-bit Windows
# (Debian's mingw-w64, a static Qt for Windows, libjpeg-turbo and GoogleTest
# built for it) with every test program that Windows can run, and runs them
# under Wine on a virtual display. The controller boards are simulated on the
# Linux side (sulo_sim_boards) and mapped to COM ports of the Wine prefix, so
# the Windows programs reach them as they would a real board. The artwork is
# rendered into PNGs on the Linux side (sulo_render_artwork): the Qt for
# Windows has no Qt Svg. Then it makes the installer (NSIS) and installs and
# uninstalls it silently under Wine. The libraries and their tests are built
# for 32-bit Windows, the camera SDK's platform, as a compile and link check
# only, and, when a 32-bit Qt is in the cache (scripts/windows-qt.sh), the
# 32-bit program on the camera SDK's import library.
#
# Ends with "N passed, M failed" (test cases and installer checks; a test
# program that gives no result counts as one failure) and fails when M is not 0.
#
# Build folders: build-win-host (the Linux tools), build-win64, build-win32,
# build-win32-edsdk; Qt and libjpeg-turbo for Windows come from
# scripts/windows-qt.sh's cache. SULO_JOBS sets the build's parallel jobs
# (default: 2).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${SULO_JOBS:-2}
host=$root/build-win-host
win64=$root/build-win64
win32=$root/build-win32
win32edsdk=$root/build-win32-edsdk

# --- packages -------------------------------------------------------------
packages=(
  build-essential cmake pkg-config libgtest-dev googletest libjpeg62-turbo-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 nsis xvfb xauth
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

# The screens' tests and the program draw on a display: a virtual one.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi
started=$(date +%s)
elapsed() { echo "$(($(date +%s) - started))s"; }

# --- Qt and libjpeg-turbo for Windows ---------------------------------------
# One folder holding qt/ and jpeg/ for ARCH. scripts/windows-qt.sh makes and
# caches it; without that script the ready 64-bit Qt of the shared toolchains
# is unpacked and libjpeg-turbo built from Debian's source package.
windows_kit() {
  "$root/scripts/windows-qt.sh" "$@"
}

# The compiler cache, where the machine has one: CI's fresh clone then reuses
# what an earlier check on this machine compiled.
if command -v ccache > /dev/null 2>&1; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
fi

# --- builds ---------------------------------------------------------------
echo "== Linux tools"
mkdir -p "$host" "$win64" "$win32"
cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=Release -DSULO_BUILD_UI=OFF -DSULO_BUILD_BENCH=OFF > "$host/configure.log"
cmake --build "$host" -j "$jobs" --target sulo_sim_boards sulo_sim_pictures sulo_render_artwork
pictures=$host/sim-pictures
"$host/src/simulator/camera/sulo_sim_pictures" "$pictures"
artwork=$host/artwork
"$host/src/artwork/sulo_render_artwork" "$artwork" resources/*.qrc 2> /dev/null

# A build for ARCH in DIR: the whole program with Qt from KIT, or the core
# alone when KIT is empty.
windows_build() {
  local dir=$1 arch=$2 kit=$3
  shift 3
  # Further arguments: configure options, then --target and the targets.
  local extra=() targets=()
  while [ $# -gt 0 ] && [ "$1" != --target ]; do extra+=("$1"); shift; done
  [ $# -gt 0 ] && shift && targets=(--target "$@")
  local args=(-DCMAKE_BUILD_TYPE=Debug -DSULO_BUILD_BENCH=OFF -DSULO_SIM_PICTURES_DIR="$pictures") toolchain
  if [ -n "$kit" ]; then
    toolchain=$kit/qt/lib/cmake/Qt6/qt.toolchain.cmake
    args+=(-DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake"
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DSULO_ARTWORK_DIR="$artwork")
  else
    toolchain=$root/cmake/mingw-w64-$arch.cmake
    args+=(-DSULO_BUILD_UI=OFF)
  fi
  args+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" "${extra[@]}")
  # A folder configured for another toolchain starts afresh.
  if [ -f "$dir/CMakeCache.txt" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:[A-Z]*=$toolchain\$" "$dir/CMakeCache.txt"; then
    rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
  fi
  (
    if [ -n "$kit" ]; then
      export SULO_WINDOWS_PREFIXES="$kit/qt;$kit/jpeg" PKG_CONFIG_LIBDIR="$kit/jpeg/lib/pkgconfig"
    fi
    mkdir -p "$dir"
    cmake -S . -B "$dir" "${args[@]}" > "$dir/configure.log"
    cmake --build "$dir" -j "$jobs" "${targets[@]}"
  )
}

echo "== Qt and libjpeg-turbo for 64-bit Windows ($(elapsed))"
kit64=$(windows_kit x86_64)
echo "== Windows x86_64 ($(elapsed))"
windows_build "$win64" x86_64 "$kit64"
echo "== Windows i686 ($(elapsed))"
# The core and its tests (compiled and linked, not run), and, where a 32-bit
# Qt is in the cache, the booth's own program: 32-bit, on the maker's camera
# SDK through the import library made from our declarations.
windows_build "$win32" i686 ""
if kit32=$(windows_kit i686 --cached-only 2> /dev/null); then
  windows_build "$win32edsdk" i686 "$kit32" -DSULO_CAMERA=EDSDK --target sulo
  echo "32-bit program on the camera SDK: $(du -h "$win32edsdk/src/app/sulo.exe" | cut -f1) sulo.exe linked"
else
  echo "No 32-bit Qt for Windows in the cache (scripts/windows-qt.sh i686 builds it, about an hour): the 32-bit program is left out"
fi
echo "32-bit Windows: $(find "$win32/tests" -name '*_tests.exe' | wc -l) test programs compiled and linked (not run)"
echo "== builds done ($(elapsed))"

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

# The programs of the Linux build that Windows does not get, named so that
# none goes missing unnoticed.
echo "Not built for Windows: views_tests, views_shooting_tests, views_shooting_fault_tests (their screens bring" \
  "their own simulated board on a pseudo-terminal, which Windows does not have; the board's Windows side is" \
  "covered by board_tests over the COM ports above)"
echo "== tests done ($(elapsed))"

# --- the installer ------------------------------------------------------------
# Made from the stripped program, installed silently into Program Files of the
# prefix and uninstalled again: the program and its entries go, the
# configuration, the log and the pictures stay.
check() {
  if eval "$2"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "    installer check failed: $1"
  fi
}
echo "== installer"
package=$win64/package
rm -rf "$package" && mkdir -p "$package"
x86_64-w64-mingw32-strip -o "$package/sulo.exe" "$win64/src/app/sulo.exe"
version=$(sed -n 's/^project(Sulo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
installer=$win64/sulo-setup-$version.exe
makensis -V2 -DSULO_EXE="$package/sulo.exe" -DSULO_CONFIGURATION="$root/resources/default.configuration" \
  -DSULO_VERSION="$version" -DOUTFILE="$installer" packaging/windows/sulo.nsi
programs=$(winepath -u 'C:\Program Files' 2> /dev/null)
installed=$programs/Sulo
menu=$(winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs' 2> /dev/null)
# The installer writes the 64-bit registry view; reg.exe reads the 32-bit one
# unless told.
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sulo'
rm -rf "$installed"
wine "$installer" /S > /dev/null 2>&1
wineserver --wait
check "sulo.exe installed" '[ -f "$installed/sulo.exe" ]'
check "shipped configuration installed" 'cmp -s "$installed/sulo.configuration" resources/default.configuration'
check "uninstaller installed" '[ -f "$installed/uninstall.exe" ]'
check "Start-menu entry" '[ -f "$menu/Sulo.lnk" ]'
check "Add/Remove Programs entry" 'wine reg query "$key" /reg:64 /v UninstallString 2> /dev/null | grep -q uninstall.exe'
# Program Files as the operator has it, not writable: the first start keeps
# the configuration and the log in the user's Local AppData, the shipped
# configuration copied there.
local_appdata=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' 2> /dev/null | tr -d '\r')" 2> /dev/null)
rm -rf "$local_appdata/Sulo"
chmod a-w "$installed"
(cd "$installed" && timeout 60 wine ./sulo.exe > /dev/null 2>&1) &
sulo_run=$!
for _ in $(seq 120); do [ -f "$local_appdata/Sulo/sulo.log" ] && break; sleep 0.5; done
sleep 2
kill "$sulo_run" 2> /dev/null || true
wineserver --kill > /dev/null 2>&1 || true
wait "$sulo_run" 2> /dev/null || true
chmod u+w "$installed"
check "read-only Program Files: configuration copied to Local AppData" \
  'cmp -s "$local_appdata/Sulo/sulo.configuration" resources/default.configuration'
check "read-only Program Files: log in Local AppData, none beside the program" \
  '[ -f "$local_appdata/Sulo/sulo.log" ] && [ ! -f "$installed/sulo.log" ]'
# What the booth leaves beside the program while it runs.
echo "log" > "$installed/sulo.log"
echo "changed" >> "$installed/sulo.configuration"
# The uninstaller copies itself away and waits for nothing: wait for it.
wine "$installed/uninstall.exe" /S > /dev/null 2>&1
for _ in $(seq 100); do [ -f "$installed/uninstall.exe" ] || break; sleep 0.2; done
wineserver --wait
check "program removed" '[ ! -f "$installed/sulo.exe" ] && [ ! -f "$installed/uninstall.exe" ]'
check "configuration and log kept" 'grep -q changed "$installed/sulo.configuration" && [ -f "$installed/sulo.log" ]'
check "Start-menu entry removed" '[ ! -f "$menu/Sulo.lnk" ]'
check "Add/Remove Programs entry removed" '! wine reg query "$key" /reg:64 > /dev/null 2>&1'
printf 'installer: %s (%s bytes), sulo.exe %s bytes\n' "$(basename "$installer")" "$(stat -c %s "$installer")" \
  "$(stat -c %s "$package/sulo.exe")"
echo "== done ($(elapsed))"

echo "$skipped skipped"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Qt 6 and libjpeg-turbo for Windows, cross-built here from Debian's own
# source packages and kept in a cache, for the Windows builds of the program.
#
#   scripts/windows-qt.sh ARCH [--cached-only]      ARCH: x86_64 or i686
#
# Prints one line on success: the cache folder, holding qt/ (Qt's install
# prefix: static, Release, Core/Gui/Widgets/Test and the Windows platform
# plugin) and jpeg/ (libjpeg-turbo's prefix, with the TurboJPEG static
# library and header). Everything else goes to stderr and to the logs in the
# cache folder.
#
# The folder is named after the architecture, Qt's version and a short hash
# of every version and option below, so a changed recipe builds anew and an
# unchanged one is reused. Each part is built in a temporary folder and
# renamed into place, so an interrupted build leaves no half cache behind.
#
# For x86_64 the ready archive in /work/shared/toolchains is unpacked instead
# of building Qt (about an hour on two cores), when the features it was built
# with are the ones asked for here.
#
# --cached-only never builds Qt (the archive may still be unpacked) and exits
# with 3 when it is not in the cache, at once, without waiting for a run that
# is building it; libjpeg-turbo takes minutes and is built when missing.
#
# SULO_WINDOWS_CACHE: the cache's root (default /var/cache/sulo-windows).
# SULO_JOBS: parallel build jobs (default: the processor count).
set -euo pipefail

usage() { echo "usage: $0 x86_64|i686 [--cached-only]" >&2; exit 2; }
[ $# -ge 1 ] && [ $# -le 2 ] || usage
arch=$1
cached_only=0
if [ $# -eq 2 ]; then
  [ "$2" = --cached-only ] || usage
  cached_only=1
fi
case $arch in
  x86_64) package_arch=x86-64 ;;
  i686) package_arch=i686 ;;
  *) usage ;;
esac
triplet=$arch-w64-mingw32

# The cache folder is the only thing on stdout.
exec 3>&1 1>&2

root=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$root/cmake/mingw-w64-$arch.cmake
cache_root=${SULO_WINDOWS_CACHE:-/var/cache/sulo-windows}
jobs=${SULO_JOBS:-$(nproc)}
archive=/work/shared/toolchains/qt6-6.4.2-mingw-x86_64-static.tar.xz

qt_package=qt6-base
qt_version=6.4.2
jpeg_package=libjpeg-turbo
jpeg_version=2.1.5

qt_options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=ON
  -DFEATURE_tabletevent=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_doubleconversion=OFF
)
# With OpenGL off, 6.4.2's Windows platform plugin tests QT_CONFIG(dynamicgl)
# alone and does not compile.
qt_fix_file=src/plugins/platforms/windows/qwindowswindow.cpp
qt_fix='s/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/'
# The TurboJPEG API as a static library; the SIMD code is required, so a
# missing assembler is an error rather than a slow library.
jpeg_options=(
  -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=ON -DREQUIRE_SIMD=ON
)

key_text=$(printf '%s\n' "$triplet posix" "$qt_package $qt_version" "${qt_options[@]}" "$qt_fix_file: $qt_fix" \
  "$jpeg_package $jpeg_version" "${jpeg_options[@]}")
key=$(sha256sum <<< "$key_text" | cut -c1-10)
cache=$cache_root/$arch-qt$qt_version-$key

note() { echo "windows-qt: $*" >&2; }
fail() { echo "windows-qt: $*" >&2; exit 1; }
not_cached() {
  echo "windows-qt: Qt $qt_version for $arch is not in the cache ($cache); run scripts/windows-qt.sh $arch to build it (about an hour)" >&2
  exit 3
}
# A finished Qt is renamed into place whole, so its presence can be trusted
# without the lock.
if [ "$cached_only" -eq 1 ] && [ ! -f "$cache/qt/mkspecs/qconfig.pri" ] &&
  { [ "$arch" != x86_64 ] || [ ! -f "$archive" ]; }; then
  not_cached
fi

# --- packages -------------------------------------------------------------
packages=(
  "g++-mingw-w64-$package_arch-posix" "binutils-mingw-w64-$package_arch" cmake ninja-build
  qt6-base-dev-tools dpkg-dev nasm xz-utils util-linux
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q "install ok installed"; then missing+=("$p"); fi
done
if [ ${#missing[@]} -gt 0 ]; then
  note "installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" ||
    { $SUDO apt-get update -qq && $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"; }
fi

mkdir -p "$cache_root" "$cache"
# One build per cache folder at a time; a second caller waits and then finds
# the parts in place.
exec 8> "$cache_root/.$arch-$key.lock"
flock 8
rm -rf "$cache_root/.tmp-$arch-$key-"*
printf '%s\n' "$key_text" > "$cache/key.txt"

# --- sources ----------------------------------------------------------------
# Debian bookworm's source packages, through a source list of our own so the
# system's package lists are left as they are.
mirror() {
  local files=()
  [ -f /etc/apt/sources.list ] && files+=(/etc/apt/sources.list)
  for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do [ -f "$f" ] && files+=("$f"); done
  [ ${#files[@]} -gt 0 ] || return 0
  # One-line entries: deb [options] URI bookworm main ...
  awk '$1 == "deb" || $1 == "deb-src" {
         i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
         if ($(i + 1) == "bookworm") for (j = i + 2; j <= NF; j++) if ($j == "main") { print $i; exit }
       }' "${files[@]}" | head -1
  # deb822 stanzas: Suites with bookworm, Components with main.
  awk 'function check() {
         if (uri != "" && enabled && suites ~ /(^| )bookworm( |$)/ && components ~ /(^| )main( |$)/) { print uri; exit }
         uri = ""; suites = ""; components = ""; enabled = 1
       }
       BEGIN { enabled = 1 }
       /^[ \t]*$/ { check(); next }
       tolower($1) == "uris:" { uri = $2 }
       tolower($1) == "suites:" { $1 = ""; suites = $0; sub(/^ /, "", suites) }
       tolower($1) == "components:" { $1 = ""; components = $0; sub(/^ /, "", components) }
       tolower($1) == "enabled:" { enabled = (tolower($2) != "no") }
       END { check() }' "${files[@]}" | head -1
}

sources=$cache_root/sources
fetch_sources() {  # package version: prints the unpacked source folder
  local package=$1 version=$2 folder=$sources/$1-$2
  if [ ! -f "$folder/.complete" ]; then
    mkdir -p "$sources"
    exec 7> "$sources/.lock"
    flock 7
    if [ ! -f "$folder/.complete" ]; then
      local uri apt_dir
      uri=$(mirror | head -1)
      [ -n "$uri" ] || fail "no Debian bookworm main entry in /etc/apt to take the mirror from"
      apt_dir=$sources/apt
      mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
      echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri bookworm main" > "$apt_dir/sources.list"
      local apt=(apt-get -q -o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o Dir::Etc::sourceparts=-
        -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
        -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=)
      if [ ! -f "$apt_dir/updated" ]; then
        note "reading the source package lists"
        "${apt[@]}" update > "$apt_dir/update.log" 2>&1 || { tail -5 "$apt_dir/update.log" >&2; fail "apt-get update failed"; }
        touch "$apt_dir/updated"
      fi
      local download=$sources/.download-$package
      rm -rf "$download" "$folder.tmp"
      mkdir -p "$download"
      note "fetching the source package $package"
      (cd "$download" && "${apt[@]}" source --download-only "$package") > "$download.log" 2>&1 ||
        { tail -5 "$download.log" >&2; fail "apt-get source $package failed"; }
      local dsc
      dsc=$(ls "$download"/"${package}"_*.dsc)
      case $(basename "$dsc") in
        "${package}_${version}"[-+~]*) ;;
        *) fail "$package: $(basename "$dsc") is not version $version" ;;
      esac
      dpkg-source -x "$dsc" "$folder.tmp" > "$download.log" 2>&1 ||
        { tail -5 "$download.log" >&2; fail "unpacking $package failed"; }
      touch "$folder.tmp/.complete"
      rm -rf "$folder"
      mv "$folder.tmp" "$folder"
      # dpkg-source leaves a copy of the upstream archive beside the tree.
      rm -rf "$download" "$sources/${package}_"*
    fi
    exec 7>&-
  fi
  echo "$folder"
}

# --- libjpeg-turbo ----------------------------------------------------------
if [ ! -f "$cache/jpeg/include/turbojpeg.h" ]; then
  source_dir=$(fetch_sources "$jpeg_package" "$jpeg_version")
  tmp=$(mktemp -d "$cache_root/.tmp-$arch-$key-jpeg-XXXXXX")
  log=$cache/jpeg.log
  note "building libjpeg-turbo $jpeg_version for $triplet (log: $log)"
  start=$(date +%s)
  {
    cmake -G Ninja -S "$source_dir" -B "$tmp/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_INSTALL_PREFIX="$cache/jpeg" "${jpeg_options[@]}"
    cmake --build "$tmp/build" -j "$jobs"
    DESTDIR=$tmp/install cmake --install "$tmp/build"
  } > "$log" 2>&1 || { tail -20 "$log" >&2; fail "building libjpeg-turbo failed (log: $log)"; }
  mv "$tmp/install$cache/jpeg" "$cache/jpeg"
  rm -rf "$tmp"
  echo "built in $(($(date +%s) - start)) s" >> "$log"
  note "libjpeg-turbo built in $(($(date +%s) - start)) s"
fi

# --- Qt -------------------------------------------------------------------
# Whether an installed Qt was built with qt_options: every feature set on is
# enabled there and every feature set off is not, it is static and Release,
# and its version and target are ours.
qt_matches() {
  local prefix=$1 config=$1/mkspecs/qconfig.pri enabled disabled option name value
  [ -f "$config" ] || return 1
  grep -q "^QT_VERSION = $qt_version\$" "$config" || return 1
  # Qt names 32-bit x86 i386; QT_ARCH is also the build host's.
  grep -q "^    QT_TARGET_ARCH = ${arch/i686/i386}\$" "$config" || return 1
  grep '^QT_CONFIG +=' "$config" | grep -qw static || return 1
  grep '^QT_CONFIG +=' "$config" | grep -qw release || return 1
  enabled=" $(sed -n 's/^QT\.[a-z_]*\.enabled_features = //p' "$config" "$prefix"/mkspecs/modules/qt_lib_*.pri | tr '\n' ' ') "
  disabled=" $(sed -n 's/^QT\.[a-z_]*\.disabled_features = //p' "$config" "$prefix"/mkspecs/modules/qt_lib_*.pri | tr '\n' ' ') "
  for option in "${qt_options[@]}"; do
    case $option in -DFEATURE_*) ;; *) continue ;; esac
    name=${option#-DFEATURE_}
    value=${name#*=}
    name=${name%%=*}
    name=${name//_/-}
    if [ "$value" = ON ]; then
      [[ $enabled == *" $name "* ]] || { note "the archive's Qt lacks $name"; return 1; }
    else
      [[ $enabled != *" $name "* ]] || { note "the archive's Qt has $name"; return 1; }
    fi
  done
  [[ $disabled == *" shared "* ]] || return 1
}

if [ ! -f "$cache/qt/mkspecs/qconfig.pri" ]; then
  tmp=$(mktemp -d "$cache_root/.tmp-$arch-$key-qt-XXXXXX")
  if [ "$arch" = x86_64 ] && [ -f "$archive" ]; then
    note "unpacking $archive"
    start=$(date +%s)
    tar -xJf "$archive" -C "$tmp"
    if qt_matches "$tmp/qt6-mingw64"; then
      mv "$tmp/qt6-mingw64" "$cache/qt"
      echo "unpacked from $archive in $(($(date +%s) - start)) s" > "$cache/qt.log"
      note "Qt unpacked in $(($(date +%s) - start)) s"
    else
      note "the archive's Qt was built with other options; not using it"
    fi
  fi
  if [ ! -f "$cache/qt/mkspecs/qconfig.pri" ]; then
    if [ "$cached_only" -eq 1 ]; then
      rm -rf "$tmp"
      not_cached
    fi
    source_dir=$(fetch_sources "$qt_package" "$qt_version")
    log=$cache/qt.log
    note "building Qt $qt_version for $triplet (log: $log)"
    start=$(date +%s)
    {
      cp -a "$source_dir" "$tmp/src"
      sed -i "$qt_fix" "$tmp/src/$qt_fix_file"
      grep -q 'QT_CONFIG(dynamicgl) && QT_CONFIG(opengl)' "$tmp/src/$qt_fix_file"
      cmake -G Ninja -S "$tmp/src" -B "$tmp/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$cache/qt" "${qt_options[@]}"
      cmake --build "$tmp/build" -j "$jobs"
      DESTDIR=$tmp/install cmake --install "$tmp/build"
    } > "$log" 2>&1 || { tail -20 "$log" >&2; fail "building Qt failed (log: $log)"; }
    mv "$tmp/install$cache/qt" "$cache/qt"
    echo "built in $(($(date +%s) - start)) s" >> "$log"
    note "Qt built in $(($(date +%s) - start)) s"
  fi
  rm -rf "$tmp"
fi

echo "$cache" >&3

#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need,
# only when something is missing. Runs without questions.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins libgl1-mesa-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libjpeg62-turbo-dev libturbojpeg0-dev
  fonts-noto-cjk xvfb xauth imagemagick xdotool
  desktop-file-utils appstream dpkg-dev fakeroot lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

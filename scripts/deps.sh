#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds, tests and runs with, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libasio-dev libfmt-dev libplist-dev libplist-utils libexpat1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  libssl-dev openssl
  libsecret-1-dev dbus gnome-keyring
  libicu-dev
  qt6-base-dev qt6-webengine-dev libgl-dev
  libopus-dev portaudio19-dev libsndfile1-dev libsamplerate0-dev libasound2-dev
  jackd2 libjack-jackd2-dev
  libudev-dev
  desktop-file-utils
  xvfb xauth imagemagick xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

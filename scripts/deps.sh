#!/usr/bin/env bash
# Installs whatever the build and the tests need and this machine lacks
# (Debian 12, as root), recommended packages included: Wine relies on
# several of them (XInput, XRender, XRandR) for input and drawing. Quiet when
# everything is already there.
set -euo pipefail

packages=(
  cmake make g++ python3 unicode-data
  googletest libgtest-dev libgmock-dev
  mingw-w64 wixl msitools faketime osslsigncode openssl
  wine wine64 fonts-wine
  xvfb xdotool x11-utils imagemagick
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  clang libclang-rt-14-dev clang-format clang-tidy
)
# Callers may ask for more, e.g. the benchmark's libjpeg-turbo-progs.
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq -o DPkg::Lock::Timeout=600
  apt-get install -y -qq -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
fi

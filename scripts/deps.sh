#!/usr/bin/env bash
# Installs every Debian package Tarno needs to build, run and test. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git
  clang libclang-rt-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libglew-dev libgl-dev libegl-dev libfreetype-dev libfontconfig-dev libpng-dev
  fonts-roboto-unhinted
  # A small CJK font, so the tests can see a name in a script Roboto lacks drawn by the fallback.
  fonts-wqy-microhei
  libsqlite3-dev libusb-1.0-0-dev
  umockdev libumockdev-dev
  xvfb xauth x11-apps libx11-dev libgl1-mesa-dri
  librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
# Refresh the package lists only when one of the missing packages is unknown to them.
if ! apt-cache show "${missing[@]}" >/dev/null 2>&1; then
  "${sudo_cmd[@]}" apt-get update -qq
fi
echo "Installing: ${missing[*]}"
if ! "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
  # Stale package lists point at files the mirror no longer has: refresh once and retry.
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

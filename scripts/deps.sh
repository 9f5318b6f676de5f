#!/usr/bin/env bash
# Installs the Debian packages Tarno needs. Safe to run again.
#   scripts/deps.sh --runtime --build   what building and running Tarno needs (scripts/run.sh)
#   scripts/deps.sh                     everything, tests and packaging checks included
set -euo pipefail

# Running Tarno.
runtime=(
  fonts-roboto-unhinted libgl1-mesa-dri
)
# Building tarno and tarno-cli (and their man pages).
build=(
  build-essential cmake ninja-build ccache pkg-config git help2man
  libsdl2-dev libglew-dev libgl-dev libegl-dev libfreetype-dev libfontconfig-dev libpng-dev
  libsqlite3-dev libusb-1.0-0-dev libmosquitto-dev
)
# The test suite, benchmarks, fuzzing, screenshots and the package checks.
test=(
  clang libclang-rt-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  # A small CJK font, so the tests can see a name in a script Roboto lacks drawn by the fallback.
  fonts-wqy-microhei
  umockdev libumockdev-dev
  xvfb xauth x11-apps libx11-dev
  librsvg2-bin
  mosquitto mosquitto-clients
  lintian appstream desktop-file-utils udev bash-completion
)

packages=()
if [ $# -eq 0 ]; then
  packages=("${runtime[@]}" "${build[@]}" "${test[@]}")
fi
for list in "$@"; do
  case "$list" in
    --runtime) packages+=("${runtime[@]}") ;;
    --build) packages+=("${build[@]}") ;;
    --test) packages+=("${test[@]}") ;;
    *)
      echo "usage: $0 [--runtime] [--build] [--test]  (none: all three)" >&2
      exit 2
      ;;
  esac
done

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

#!/usr/bin/env bash
# Renders the demonstration in each view into docs/images/ (the README's pictures): off screen,
# with a scratch home so that no stored configuration or data of yours is read or written, and
# with the demonstration stepped on a simulated clock, so the same build draws the same pictures.
# Usage: scripts/screenshots.sh [OUTPUT_DIRECTORY]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/images}"
mkdir -p "$out"
cmake --preset default >/dev/null
cmake --build build/default --target tarno-screenshots
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY \
  HOME="$scratch" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" \
  XDG_CACHE_HOME="$scratch/cache" XDG_RUNTIME_DIR="$scratch" SDL_VIDEODRIVER=offscreen \
  build/default/tools/screenshots/tarno-screenshots "$out"
du -ch "$out"/*.png | tail -n 1

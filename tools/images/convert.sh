#!/bin/sh
# Turns the SVG sources in Resources/svg/ into the PNGs the program loads (Resources/res/) and the
# desktop icon (packaging/tarno.png). Needs rsvg-convert (Debian package librsvg2-bin).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing: apt-get install librsvg2-bin" >&2; exit 1; }
for svg in "$root"/Resources/svg/*.svg; do
    name=$(basename "$svg" .svg)
    rsvg-convert --format=png --output="$root/Resources/res/$name.png" "$svg"
done
rsvg-convert --format=png --width=256 --height=256 --output="$root/packaging/tarno.png" \
    "$root/packaging/tarno.svg"
echo "$(ls "$root"/Resources/svg/*.svg | wc -l) images converted"

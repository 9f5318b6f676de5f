#!/usr/bin/env bash
# Packs an existing build tree (default: build/default, already built) into a Debian package
# and checks it as a distribution would: lintian must report no errors, and the installed
# AppStream metainfo and desktop entry must validate. Nothing is rebuilt.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
out="$build/package"

rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb=$(ls "$out"/tarno_*.deb)
echo "== $deb"
# Everything a distribution expects, in its standard place.
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
missing=0
for path in usr/bin/tarno usr/bin/tarno-cli \
  usr/share/tarno/res/shaders/WaterfallShader.fsh usr/share/tarno/res/packets/Tarno2/Tarno2_discover.bin \
  usr/share/applications/io.github.tarno.Tarno.desktop \
  usr/share/icons/hicolor/scalable/apps/io.github.tarno.Tarno.svg \
  usr/share/icons/hicolor/256x256/apps/io.github.tarno.Tarno.png \
  usr/share/metainfo/io.github.tarno.Tarno.metainfo.xml \
  usr/share/man/man1/tarno.1.gz usr/share/man/man1/tarno-cli.1.gz \
  usr/share/bash-completion/completions/tarno-cli \
  usr/lib/udev/rules.d/60-tarno-accessory.rules \
  usr/share/doc/tarno/copyright usr/share/doc/tarno/changelog.Debian.gz; do
  if ! grep -qx "\./$path" <<<"$contents"; then
    echo "missing from the package: /$path"
    missing=1
  fi
done
if grep -q 'fonts/.*\.ttf$' <<<"$contents"; then
  echo "the package carries font files; it should depend on fonts-roboto-unhinted instead"
  missing=1
fi
[ $missing -eq 0 ]

# Errors fail the check; warnings are listed for whoever reads the log.
lintian --tag-display-limit 0 --fail-on error --display-info "$deb"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb --extract "$deb" "$tree"
appstreamcli validate --no-net "$tree/usr/share/metainfo/io.github.tarno.Tarno.metainfo.xml"
desktop-file-validate "$tree/usr/share/applications/io.github.tarno.Tarno.desktop"
# A packager's configuration needs none of the test stack: with the test libraries hidden,
# configuring without tests still succeeds (configure only; nothing is built).
notest=$(mktemp -d)
trap 'rm -rf "$tree" "$notest"' EXIT
cmake -S . -B "$notest" -G Ninja --no-warn-unused-cli -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON >/dev/null
echo "== package checks passed"

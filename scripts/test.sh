#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/check-format.sh
cmake --preset default >/dev/null
cmake --build --preset default
# Render tests open real GL windows; Xvfb gives them a display on machines without one.
xvfb-run -a -s "-screen 0 1280x800x24" ctest --preset default -j 2
# The Debian package of that build, checked with lintian, appstreamcli and desktop-file-validate.
scripts/check-package.sh build/default
# The full check: sanitizer builds of the test suite and a short run of every fuzz harness.
scripts/check-full.sh

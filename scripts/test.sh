#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
# Each step's duration is printed at the end, also when a step fails.
set -euo pipefail
cd "$(dirname "$0")/.."
export TARNO_STEP_TIMES
TARNO_STEP_TIMES=$(mktemp)
trap 'status=$?; echo "== step durations (exit $status)"; cat "$TARNO_STEP_TIMES"; rm -f "$TARNO_STEP_TIMES"' EXIT
step() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  printf '%-44s %5d s\n' "$name" $((SECONDS - start)) >>"$TARNO_STEP_TIMES"
}
step "dependencies" scripts/deps.sh
step "format check" scripts/check-format.sh
cmake --preset default >/dev/null
step "default build" cmake --build --preset default
# Render tests open real GL windows; Xvfb gives them a display on machines without one.
step "default tests" xvfb-run -a -s "-screen 0 1280x800x24" ctest --preset default -j 2
# The Debian package of that build, checked with lintian, appstreamcli and desktop-file-validate.
step "package check" scripts/check-package.sh build/default
# The full check: sanitizer builds of the test suite and a short run of every fuzz harness.
scripts/check-full.sh

#!/usr/bin/env bash
# Installs what is missing, builds Tarno and tarno-cli (no tests) and starts Tarno.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --runtime --build
cmake --preset app >/dev/null
cmake --build --preset app
exec build/app/app/tarno "$@"

#!/usr/bin/env bash
# Installs what is missing, builds Tarno and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
if [ -x build/default/app/tarno ]; then
  exec build/default/app/tarno "$@"
fi
exec build/default/tools/tarno-cli/tarno-cli --help

#!/usr/bin/env bash
# Fails when a C++ source is not formatted with the root .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || true)
[ ${#files[@]} -eq 0 ] && exit 0
clang-format --style=file -n -Werror "${files[@]}"

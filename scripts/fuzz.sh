#!/usr/bin/env bash
# Runs every libFuzzer harness for a bounded time on its stored corpus.
#   scripts/fuzz.sh [SECONDS_PER_HARNESS] [HARNESS...]
# Builds the `fuzz` preset (clang), copies each stored corpus into a scratch folder so new inputs
# never land in the repository, and prints the executions of each run. A crash leaves its input in
# build/fuzz/findings/<harness>/ and fails the script; keep it as a named file in the harness's
# corpus folder and add a test for it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
only=("$@")

cmake --preset fuzz >/dev/null
build=build/fuzz

# Harness name and corpus folder, from each fuzz/<folder>/CMakeLists.txt.
mapfile -t harnesses < <(
  for list in fuzz/*/CMakeLists.txt; do
    dir=$(dirname "$list")
    awk -v dir="$dir" '
      /tarno_add_fuzzer\(/ { sub(/.*tarno_add_fuzzer\(/, ""); name = $1 }
      /CORPUS/ && name != "" {
        path = $2; sub(/\$\{CMAKE_CURRENT_SOURCE_DIR\}/, dir, path); sub(/\)$/, "", path)
        print name " " path; name = ""
      }' "$list"
  done)

targets=()
for entry in "${harnesses[@]}"; do
  name=${entry%% *}
  if [ ${#only[@]} -eq 0 ] || [[ " ${only[*]} " == *" $name "* ]]; then
    targets+=("$name")
  fi
done
[ ${#targets[@]} -eq 0 ] && { echo "fuzz.sh: no harness selected" >&2; exit 2; }
cmake --build "$build" -j 2 --target "${targets[@]}"

status=0
printf '%-32s %12s %10s %8s\n' harness executions exec/s corpus
for entry in "${harnesses[@]}"; do
  name=${entry%% *}
  corpus=${entry#* }
  [[ " ${targets[*]} " == *" $name "* ]] || continue
  work=$build/work/$name
  findings=$build/findings/$name
  rm -rf "$work"
  mkdir -p "$work" "$findings"
  cp -r "$corpus"/. "$work"/
  log=$build/work/$name.log
  # -rss_limit_mb stays below the machine's memory; -timeout marks a hang as a finding.
  binary=$(find "$build/fuzz" -name "$name" -type f -perm -u+x | head -n 1)
  if ! "$binary" -max_total_time="$seconds" \
      -print_final_stats=1 -timeout=10 -rss_limit_mb=1536 -artifact_prefix="$findings/" \
      "$work" >"$log" 2>&1; then
    status=1
    echo "fuzz.sh: $name found a crash; see $log and $findings/" >&2
    tail -n 40 "$log" >&2
  fi
  execs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
  rate=$(awk '/stat::average_exec_per_sec/ { print $2 }' "$log")
  printf '%-32s %12s %10s %8s\n' "$name" "${execs:-?}" "${rate:-?}" "$(ls "$work" | wc -l)"
done
exit $status

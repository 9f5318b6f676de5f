#!/usr/bin/env bash
# The full check, run by CI after the default build and tests:
#   1. the whole test suite built with AddressSanitizer + UndefinedBehaviorSanitizer (LeakSanitizer
#      included),
#   2. the tests that run threads built with ThreadSanitizer,
#   3. every libFuzzer harness for FUZZ_SECONDS (default 30) on its corpus.
# Each stage prints its duration.
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${FUZZ_SECONDS:-30}
# The tests that start the link's I/O thread, the controller's worker, the MQTT publisher's
# network thread, or hand frames from the decoding thread to the model's owner.
threaded_tests=(link_tests link_umockdev_tests controller_tests reliability_storm_tests
  publish_broker_tests acquisition_tests)

stage() {
  echo "== $1 ($(date +%T))"
  SECONDS=0
}
done_stage() {
  echo "== $1 took ${SECONDS} s"
  if [ -n "${TARNO_STEP_TIMES:-}" ]; then
    printf '%-44s %5d s\n' "$1" "$SECONDS" >>"$TARNO_STEP_TIMES"
  fi
}

stage "ASan+UBSan: build and whole test suite"
cmake --preset asan >/dev/null
cmake --build --preset asan
xvfb-run -a -s "-screen 0 1280x800x24" ctest --preset asan -j 2
done_stage "ASan+UBSan"

stage "TSan: build and threaded tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target "${threaded_tests[@]}"
regex="^($(IFS='|'; echo "${threaded_tests[*]}"))\$"
ctest --preset tsan -j 2 -R "$regex"
done_stage "TSan"

stage "libFuzzer: ${fuzz_seconds} s per harness"
scripts/fuzz.sh "$fuzz_seconds"
done_stage "libFuzzer"

#!/usr/bin/env bash
# The full check, run by CI after the default build and tests:
#   1. the whole test suite built with AddressSanitizer + UndefinedBehaviorSanitizer (LeakSanitizer
#      included),
#   2. the whole test suite built with ThreadSanitizer (TARNO_TSAN_QUICK=1: only the executables
#      that run threads of their own, for a quick local check),
#   3. every libFuzzer harness for FUZZ_SECONDS (default 15) on its corpus.
# Each stage prints its duration.
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${FUZZ_SECONDS:-15}
# The quick TSan list: the tests that start the link's I/O thread, the controller's worker, the
# MQTT publisher's network thread, or hand frames from the decoding thread to the model's owner.
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

# The app and menu suites start the real link and playback next to the GL window, so TSan runs
# them too; Mesa's own threads are suppressed, nothing of ours.
export TSAN_OPTIONS="suppressions=$PWD/tests/engine/tsan.supp halt_on_error=1 second_deadlock_stack=1"
if [ -n "${TARNO_TSAN_QUICK:-}" ]; then
  stage "TSan: build and threaded tests"
  cmake --preset tsan >/dev/null
  cmake --build --preset tsan --target "${threaded_tests[@]}"
  regex="^($(IFS='|'; echo "${threaded_tests[*]}"))\$"
  ctest --preset tsan -j 2 -R "$regex"
else
  stage "TSan: build and whole test suite"
  cmake --preset tsan >/dev/null
  cmake --build --preset tsan
  xvfb-run -a -s "-screen 0 1280x800x24" ctest --preset tsan -j 2
fi
done_stage "TSan"

stage "libFuzzer: ${fuzz_seconds} s per harness"
scripts/fuzz.sh "$fuzz_seconds"
done_stage "libFuzzer"

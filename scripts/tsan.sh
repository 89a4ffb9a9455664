#!/usr/bin/env bash
# Builds the engine and its test suites with ThreadSanitizer (build/tsan) and runs them.
# Extra arguments go to ctest (e.g. -R engine_test_dir_info). Reports in Qt's own uninstrumented
# code are suppressed in tests/tsan.supp, each with its reason; ours never are.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$here/build/tsan"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DZEM_TSAN=ON -DZEM_TESTS=ON >/dev/null
mapfile -t targets < <(cd "$here/tests/engine" && ls test_*.cpp | sed 's/^/engine_/; s/\.cpp$//')
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="suppressions=$here/tests/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
cd "$build"
ctest --output-on-failure --timeout 900 -R '^engine_' "$@"

#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer (warnings
# are errors) and runs all tests headless. scripts/tsan.sh runs the engine suites under
# ThreadSanitizer.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/install-deps.sh"
build="$here/build/asan"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DZEM_SANITIZE=ON -DZEM_WERROR=ON -DZEM_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@"

#!/usr/bin/env bash
# Builds Twinfind with AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors,
# and runs every test; then the fuzzers (FUZZ_SECONDS each, 60 by default) and the engine
# tests under ThreadSanitizer. Installs the Debian packages it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=${BUILD_DIR:-build-test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTWINFIND_SANITIZE=ON -DTWINFIND_WERROR=ON -DTWINFIND_GUI=ON
cmake --build "$build"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --timeout 600 -j2

if [ -x scripts/run-fuzzers.sh ] || [ -f scripts/run-fuzzers.sh ]; then
    FUZZ_SECONDS=${FUZZ_SECONDS:-60} bash scripts/run-fuzzers.sh build-fuzz
fi
if [ -f scripts/run-tsan-tests.sh ]; then
    bash scripts/run-tsan-tests.sh build-tsan
fi

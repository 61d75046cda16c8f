#!/usr/bin/env bash
# Builds the engine tests (search walk, lifecycle and contents pass among them) with
# ThreadSanitizer and runs them. Usage: scripts/run-tsan-tests.sh [build folder]
# TWINFIND_TSAN_CTEST_ARGS adds arguments to ctest (for example -E to leave a test out).
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$source_dir/build-tsan}"

cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTWINFIND_TSAN=ON -DTWINFIND_GUI=OFF -DTWINFIND_TESTS=ON

# Every test binary under tests/engine, and the walker's.
mapfile -t targets < <(ninja -C "$build_dir" -t targets all |
    sed -n 's|^\(tests/engine/\)\{0,1\}\(engine_[A-Za-z0-9_]*_test\): .*|\2|p' | sort -u)
targets+=(platform_walker_test)
if [ "${#targets[@]}" -eq 0 ]; then
    echo "run-tsan-tests: no engine tests found" >&2
    exit 1
fi
ninja -C "$build_dir" "${targets[@]}"

# Report every race, and fail the run on the first one.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
# shellcheck disable=SC2086
ctest --test-dir "$build_dir/tests/engine" --output-on-failure -j 2 ${TWINFIND_TSAN_CTEST_ARGS:-}
# shellcheck disable=SC2086
ctest --test-dir "$build_dir/tests/platform" --output-on-failure -j 2 -R '^(DirectoryWalker|PathChain)\.' \
    ${TWINFIND_TSAN_CTEST_ARGS:-}

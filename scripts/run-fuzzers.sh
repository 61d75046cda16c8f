#!/bin/sh
# Builds every libFuzzer target with clang in its own build folder and runs each one for
# FUZZ_SECONDS seconds (default 60). Fails when a build fails or a target finds a crash.
#
#   scripts/run-fuzzers.sh [build-folder]      (default: build-fuzz in the source tree)
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-"$source_dir/build-fuzz"}
seconds=${FUZZ_SECONDS:-60}

case $seconds in
    '' | *[!0-9]*) echo "FUZZ_SECONDS must be a whole number of seconds" >&2; exit 2 ;;
esac

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTWINFIND_FUZZ=ON -DTWINFIND_TESTS=OFF -DTWINFIND_GUI=OFF -DTWINFIND_SANITIZE=OFF
cmake --build "$build_dir" --target fuzz_targets

found=0
failed=""
for target in "$build_dir"/fuzz/*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    found=1
    name=$(basename "$target")
    # New inputs go to a corpus inside the build folder; the checked-in seeds stay untouched.
    corpus="$build_dir/fuzz-corpus/$name"
    artifacts="$build_dir/fuzz-artifacts/$name/"
    mkdir -p "$corpus" "$artifacts"
    seeds="$source_dir/tests/fuzz/corpus/$name"
    echo "== $name: ${seconds}s"
    set -- "$corpus"
    [ -d "$seeds" ] && set -- "$corpus" "$seeds"
    if ! "$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$artifacts" "$@"; then
        failed="$failed $name"
    fi
done

if [ "$found" -eq 0 ]; then
    echo "no fuzz targets were built in $build_dir/fuzz" >&2
    exit 1
fi
if [ -n "$failed" ]; then
    echo "fuzzing found a crash in:$failed (inputs in $build_dir/fuzz-artifacts/)" >&2
    exit 1
fi
echo "all fuzz targets ran ${seconds}s without a crash"

#!/usr/bin/env bash
# Times `twinfind --sizes` against `find -printf '%s\n'` on a generated tree of 200,000 files
# (warm cache), and reports peak memory. Usage: bench/walk-vs-find.sh [TREE] [FILES]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --bench

tree=${1:-/tmp/twinfind-walk-tree}
files=${2:-200000}
build=${BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTWINFIND_TESTS=OFF -DTWINFIND_GUI=OFF >/dev/null
cmake --build "$build" --target twinfind >/dev/null
twinfind="$build/cli/twinfind"

if [ ! -d "$tree" ]; then
    python3 bench/make_walk_tree.py "$tree" --files "$files"
fi

hyperfine --warmup 2 --runs 10 -N \
    "find $tree -printf %s\\n" \
    "$twinfind --sizes $tree" \
    --export-markdown /tmp/twinfind-walk.md >/dev/null
cat /tmp/twinfind-walk.md

count=$(find "$tree" -type f | wc -l)
for command in "find $tree -printf %s\\n" "$twinfind --sizes $tree"; do
    kb=$(/usr/bin/time -f %M $command 2>&1 >/dev/null | tail -n 1)
    echo "peak memory: $kb KiB ($(( kb * 1024 / count )) bytes per file) for: $command"
done

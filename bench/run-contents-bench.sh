#!/usr/bin/env bash
# The contents benchmark end to end: installs the other duplicate finders from Debian (when
# missing), builds twinfind without sanitizers, makes the two test trees (when missing) and
# prints the comparison table for each. Run as root: the cold runs drop the page cache.
#
# Usage: bench/run-contents-bench.sh [BUILD_DIR]
# Environment: TWBENCH_DIR (where the trees go; default /var/tmp/twinfind-bench),
#              TWBENCH_RUNS (warm runs, default 5), TWBENCH_COLD_RUNS (default 3).
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$source_dir/build-bench}"
data_dir="${TWBENCH_DIR:-/var/tmp/twinfind-bench}"
runs="${TWBENCH_RUNS:-5}"
cold_runs="${TWBENCH_COLD_RUNS:-3}"

missing=()
for package in jdupes rdfind fdupes rmlint hyperfine time; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTWINFIND_GUI=OFF -DTWINFIND_TESTS=OFF -DTWINFIND_SANITIZE=OFF >/dev/null
ninja -C "$build_dir" twinfind

mkdir -p "$data_dir"
make_tree() { # name files gib seed
    [ -f "$data_dir/$1/truth.json" ] && return
    rm -rf "${data_dir:?}/$1"
    python3 "$source_dir/bench/make_contents_tree.py" "$data_dir/$1" --files "$2" --gib "$3" \
        --dup-share 0.31 --seed "$4"
}
make_tree tree-20k 20000 1 2
make_tree tree-200k 200000 6 1

for tree in tree-20k tree-200k; do
    echo "## $tree"
    python3 "$source_dir/bench/compare_tools.py" "$data_dir/$tree" --no-install \
        --twinfind "$build_dir/cli/twinfind" --runs "$runs" --cold-runs "$cold_runs"
done

#!/usr/bin/env bash
# Times twinfind's contents pass over one tree for each number of readers and read order,
# with the page cache dropped before each run and warm (median of runs), to choose the
# defaults. Run as root. Usage: bench/reading-matrix.sh TWINFIND TREE [RUNS]
set -euo pipefail
twinfind=$1 tree=$2 runs=${3:-3}
drop() { sync; echo 3 > /proc/sys/vm/drop_caches; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
seconds() { /usr/bin/time -f %e "$@" 2>&1 >/dev/null | tail -1; }

printf '%-8s %-9s %10s %10s\n' readers order cold_s warm_s
for readers in 1 2 4 8; do
    for order in folder inode physical listing; do
        cold=$(for _ in $(seq "$runs"); do drop; seconds "$twinfind" --readers="$readers" --read-order="$order" "$tree"; done | median)
        "$twinfind" "$tree" >/dev/null 2>&1 # warm the cache
        warm=$(for _ in $(seq "$runs"); do seconds "$twinfind" --readers="$readers" --read-order="$order" "$tree"; done | median)
        printf '%-8s %-9s %10s %10s\n' "$readers" "$order" "$cold" "$warm"
    done
done

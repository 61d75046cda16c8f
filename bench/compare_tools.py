#!/usr/bin/env python3
"""Runs twinfind and the established content duplicate finders on one tree made by
make_contents_tree.py, checks each tool's groups against the tree's truth, and prints one
table of wall time (median of warm-cache runs, and with the page cache dropped), CPU time and
peak memory. Run as root (dropping the page cache needs it); see bench/README.md.

Groups are compared as sets of files (device and inode), after leaving out symbolic links
and empty files, which the tools treat differently by design; twinfind's groups of links and
of empty files are checked on their own.
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

DROP = "sync; echo 3 > /proc/sys/vm/drop_caches"


def tools(twinfind, tree, scratch):
    q = lambda p: "'" + p.replace("'", "'\\''") + "'"
    t = q(tree)
    rd_out = os.path.join(scratch, "rdfind.txt")
    rm_out = os.path.join(scratch, "rmlint.txt")
    return [
        # name, command (shell), how its output is read
        ("twinfind", "%s -0 %s" % (q(twinfind), t), "nul"),
        ("jdupes", "jdupes -r -q %s" % t, "blank"),
        ("rdfind", "rdfind -outputname %s %s >/dev/null && cat %s" % (q(rd_out), t, q(rd_out)),
         "rdfind"),
        ("fdupes", "fdupes -r -q %s" % t, "blank"),
        ("rmlint", "rmlint -T df -o fdupes:%s %s >/dev/null 2>&1; cat %s" % (q(rm_out), t, q(rm_out)),
         "blank"),
    ]


def parse(kind, out):
    groups = []
    if kind == "nul":
        current = []
        for item in out.split(b"\0"):
            if item:
                current.append(item)
            elif current:
                groups.append(current)
                current = []
        if current:
            groups.append(current)
    elif kind == "blank":
        current = []
        for line in out.split(b"\n"):
            if line:
                current.append(line)
            elif current:
                groups.append(current)
                current = []
        if current:
            groups.append(current)
    elif kind == "rdfind":
        by_id = {}
        for line in out.split(b"\n"):
            if not line or line.startswith(b"#"):
                continue
            parts = line.split(b" ", 7)
            if len(parts) < 8:
                continue
            by_id.setdefault(abs(int(parts[1])), []).append(parts[7])
        groups = [g for g in by_id.values() if len(g) > 1]
    return groups


def identity(path):
    st = os.lstat(path)
    return st.st_dev, st.st_ino, st.st_mode, st.st_size


def normalise(groups):
    """Sets of (device, inode) of non-empty regular files, groups of at least two."""
    result = set()
    for g in groups:
        ids = set()
        for p in g:
            try:
                dev, ino, mode, size = identity(p)
            except OSError:
                continue
            if (mode & 0o170000) == 0o100000 and size > 0:
                ids.add((dev, ino))
        if len(ids) > 1:
            result.add(frozenset(ids))
    return result


def check(groups, truth_sets):
    found = normalise(groups)
    false = len(found - truth_sets)
    missed = len(truth_sets - found)
    return false, missed, len(found)


def hyperfine(command, runs, prepare, scratch, name):
    out = os.path.join(scratch, name + ".json")
    args = ["hyperfine", "--shell=bash", "--runs", str(runs), "--export-json", out,
            "--style", "none", "--output", "null"]
    if prepare:
        args += ["--prepare", prepare]
    else:
        args += ["--warmup", "1"]
    subprocess.run(args + [command], check=True, stdout=subprocess.DEVNULL)
    with open(out) as f:
        r = json.load(f)["results"][0]
    return statistics.median(r["times"]), r["user"] + r["system"]


def peak_memory(command):
    r = subprocess.run(["/usr/bin/time", "-f", "%M", "bash", "-c", command + " >/dev/null"],
                       stderr=subprocess.PIPE, stdout=subprocess.DEVNULL)
    return int(r.stderr.strip().splitlines()[-1]) / 1024


def install():
    needed = [p for p in ["jdupes", "rdfind", "fdupes", "rmlint", "hyperfine", "time"]
              if subprocess.run(["dpkg", "-s", p], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL).returncode != 0]
    if needed:
        subprocess.run(["apt-get", "install", "-y", "--no-install-recommends"] + needed, check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("root", help="made by make_contents_tree.py (holds tree/ and truth.json)")
    parser.add_argument("--twinfind", required=True)
    parser.add_argument("--runs", type=int, default=5, help="warm-cache runs per tool")
    parser.add_argument("--cold-runs", type=int, default=3, help="0 leaves cold runs out")
    parser.add_argument("--only", help="comma-separated tool names")
    parser.add_argument("--no-install", action="store_true")
    args = parser.parse_args()
    if not args.no_install:
        install()

    tree = os.path.join(os.path.abspath(args.root), "tree")
    with open(os.path.join(args.root, "truth.json")) as f:
        truth = json.load(f)
    enc = lambda p: os.path.join(os.fsencode(tree), os.fsencode(p))
    truth_sets = normalise([[enc(p) for p in s] for s in truth["files"]])
    truth_links = {frozenset(enc(p) for p in s) for s in truth["links"]}
    truth_empty = frozenset(enc(p) for p in truth["empty"])

    scratch = tempfile.mkdtemp(prefix="twbench")
    rows = []
    selected = args.only.split(",") if args.only else None
    baseline = [("find", "find %s -type f >/dev/null" % tree, None),
                ("cat", "find %s -type f -print0 | xargs -0 cat >/dev/null" % tree, None)]
    for name, command, kind in tools(args.twinfind, tree, scratch) + baseline:
        if selected and name not in selected:
            continue
        verdict = ""
        if kind:
            out = subprocess.run(["bash", "-c", command], stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL).stdout
            groups = parse(kind, out)
            false, missed, count = check(groups, truth_sets)
            verdict = "%d groups, %d false, %d missed" % (count, false, missed)
            if name == "twinfind":
                links = {frozenset(g) for g in groups
                         if all(os.path.islink(p) for p in g)}
                empty = [frozenset(g) for g in groups
                         if all(not os.path.islink(p) and os.path.getsize(p) == 0 for p in g)]
                verdict += "; links %s, empty %s" % (
                    "ok" if links == truth_links else "DIFFER (%d vs %d)" % (len(links), len(truth_links)),
                    "ok" if empty == [truth_empty] or (not empty and not truth_empty) else "DIFFER")
        warm, cpu = hyperfine(command, args.runs, None, scratch, name + "-warm")
        memory = peak_memory(command)
        cold = hyperfine(command, args.cold_runs, DROP, scratch, name + "-cold")[0] \
            if args.cold_runs else float("nan")
        rows.append((name, warm, cold, cpu, memory, verdict))
        print("%-9s warm %7.2f s  cold %7.2f s  cpu %7.2f s  peak %7.1f MiB  %s" % rows[-1],
              file=sys.stderr)
    shutil.rmtree(scratch, ignore_errors=True)

    print("| tool | wall, warm (median of %d) | wall, cache dropped (median of %d) | CPU (user+sys), warm | peak memory | groups against the truth |"
          % (args.runs, args.cold_runs))
    print("|---|---:|---:|---:|---:|---|")
    for name, warm, cold, cpu, memory, verdict in rows:
        print("| %s | %.2f s | %.2f s | %.2f s | %.1f MiB | %s |" % (name, warm, cold, cpu, memory, verdict))


if __name__ == "__main__":
    main()

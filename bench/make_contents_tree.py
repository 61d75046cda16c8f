#!/usr/bin/env python3
"""Makes a reproducible tree for timing and checking content duplicate finders, and writes
the true duplicate sets beside it.

The tree mixes many small files, photo-sized files and a few large ones in nested folders,
with exact copies (2 to 5 of a file), same-size files that differ only in their first, a
middle or their last byte, files that share their first and last 4 KiB but differ between,
empty files, hard links, symbolic links (to files, to folders, dangling) and odd names
(spaces, non-ASCII, bytes that are not UTF-8).

The same seed and sizes give the same tree, byte for byte. Output:
  ROOT/tree/...      the files
  ROOT/truth.json    {"files": [[path, ...], ...], "links": [[path, ...], ...],
                      "empty": [path, ...], "hardlinks": [[path, path], ...]}
Paths are relative to ROOT/tree, as bytes escaped with surrogateescape (json.dump of
os.fsdecode). "files" are the sets of byte-identical regular files of at least one byte,
one path per set member (hard links of a member are listed in "hardlinks", not in the set);
"links" the sets of symbolic links with equal target text that leads to an existing item;
"empty" the empty files.
"""
import argparse
import json
import os
import random

EDGE = 4096

ODD_NAMES = [
    "with space", "  leading", "trailing  ", "caf\u00e9", "\u65e5\u672c\u8a9e", "\u00fcber-gr\u00f6\u00dfe",
    "emoji\U0001F600", "tab\tin", "semi;colon", "quote'single", 'quote"double', "dash -n",
]


class Maker:
    def __init__(self, root, seed):
        self.root = root
        self.rng = random.Random(seed)
        self.folders = [b""]
        self.used = set()
        self.sets = []        # lists of relative paths with equal contents
        self.singles = 0
        self.empty = []
        self.links = {}       # target text -> [relative paths]
        self.hardlinks = []
        self.bytes = 0
        self.dup_bytes = 0
        self.count = 0

    def new_folder(self):
        parent = self.rng.choice(self.folders[-300:])
        if parent.count(b"/") >= 7:
            parent = b""
        name = b"d%05d" % len(self.folders)
        if self.rng.random() < 0.05:
            name += b" " + os.fsencode(self.rng.choice(ODD_NAMES))
        rel = os.path.join(parent, name) if parent else name
        os.mkdir(os.path.join(self.root, rel))
        self.folders.append(rel)
        return rel

    def new_path(self, ext):
        while True:
            if self.rng.random() < 0.03 or len(self.folders) < 2:
                folder = self.new_folder()
            else:
                folder = self.rng.choice(self.folders[-400:])
            r = self.rng.random()
            if r < 0.02:
                stem = os.fsencode(self.rng.choice(ODD_NAMES)) + b"%d" % self.count
            elif r < 0.03:
                stem = b"latin1-\xe9t\xe9-%d" % self.count  # not UTF-8
            else:
                stem = b"f%07d" % self.count
            rel = os.path.join(folder, stem + ext) if folder else stem + ext
            if rel not in self.used:
                self.used.add(rel)
                self.count += 1
                return rel

    def write(self, rel, data):
        with open(os.path.join(self.root, rel), "wb") as f:
            f.write(data)
        self.bytes += len(data)

    def random_bytes(self, n):
        return self.rng.randbytes(n)

    def group(self, data, copies, ext):
        paths = [self.new_path(ext) for _ in range(copies)]
        for p in paths:
            self.write(p, data)
        if copies > 1:
            self.sets.append(paths)
            self.dup_bytes += len(data) * copies
        else:
            self.singles += 1
        return paths

    def variants(self, data, where, ext):
        """Same-size files that differ from `data` in one byte only (and from each other)."""
        paths = []
        for k in range(self.rng.randint(1, 2)):
            b = bytearray(data)
            pos = {"first": 0, "last": len(b) - 1, "middle": len(b) // 2}[where]
            b[pos] = (b[pos] + 1 + k) % 256
            paths.append(self.group(bytes(b), 1, ext))
        return paths

    def edges_shared(self, size, ext):
        """Files that share their first and last 4 KiB and differ between them."""
        head = self.random_bytes(EDGE)
        tail = self.random_bytes(EDGE)
        for _ in range(self.rng.randint(2, 3)):
            middle = self.random_bytes(size - 2 * EDGE)
            self.group(head + middle + tail, 1, ext)


def size_small(rng):
    return int(10 ** rng.uniform(1.5, 4.6))  # about 30 B to 40 KiB


def size_photo(rng):
    return rng.randint(1 << 20, 6 << 20)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("root")
    parser.add_argument("--files", type=int, default=200_000)
    parser.add_argument("--gib", type=float, default=6.0, help="about how many GiB to write")
    parser.add_argument("--dup-share", type=float, default=0.24,
                        help="share of the bytes in files that have a copy")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    tree = os.path.join(os.fsencode(args.root), b"tree")
    os.makedirs(tree, exist_ok=False)
    m = Maker(tree, args.seed)
    rng = m.rng
    total = int(args.gib * (1 << 30))
    large_count = max(2, round(args.gib * 1.5))
    large_bytes = int(total * 0.20)
    small_files = int(args.files * 0.985)
    photo_bytes = total - large_bytes - small_files * 6500
    photo_files = max(10, photo_bytes // (7 << 19))

    def copies():
        return rng.choice([2, 2, 2, 3, 3, 4, 5])

    def emit(size_of, n, ext, budget=None):
        made = 0
        while (m.count < n) if budget is None else (m.bytes < budget):
            size = size_of(rng)
            data = m.random_bytes(size)
            r = rng.random()
            if r < args.dup_share / 2.6:
                m.group(data, copies(), ext)
            else:
                m.group(data, 1, ext)
                if r > 0.985:
                    m.variants(data, rng.choice(["first", "middle", "last"]), ext)
                elif r > 0.975 and size > 2 * EDGE + 1:
                    m.edges_shared(size, ext)
            made += 1

    # Large files first, then photos to their byte budget, then the many small files.
    emit(lambda r: r.randint(large_bytes // large_count // 2, large_bytes // large_count * 3 // 2),
         large_count, b".mov")
    emit(size_photo, photo_files, b".jpg", budget=total - small_files * 6500)
    extras = 32 + max(4, args.files // 2000) + max(4, args.files // 1000) + max(6, args.files // 700)
    emit(size_small, args.files - extras, b".txt")

    # Stage edge sizes, in pairs, so every boundary has a duplicate and a near miss.
    for size in [1, 4095, 4096, 4097, 8192, 8193, 65536, 65537]:
        data = m.random_bytes(size)
        m.group(data, 2, b".edge")
        m.variants(data, "last", b".edge")

    for _ in range(max(4, args.files // 2000)):
        p = m.new_path(b".empty")
        m.write(p, b"")
        m.empty.append(p)

    # Hard links to files of duplicate sets and to single files.
    regular = [p for s in m.sets for p in s]
    for _ in range(max(4, args.files // 1000)):
        target = rng.choice(regular)
        p = m.new_path(b".hl")
        os.link(os.path.join(tree, target), os.path.join(tree, p))
        m.hardlinks.append([target, p])

    # Symbolic links: to files (some to the same target, so their texts agree), to folders,
    # and dangling.
    for i in range(max(6, args.files // 700)):
        kind = rng.random()
        if kind < 0.5:
            target = b"/nonexistent/" + b"t%d" % rng.randrange(args.files // 2000 + 3)
        elif kind < 0.8:
            target = os.path.join(tree, rng.choice(regular))
        else:
            target = os.path.join(tree, rng.choice(m.folders[1:]))
        p = m.new_path(b".lnk")
        os.symlink(target, os.path.join(tree, p))
        m.links.setdefault(target, []).append(p)

    dec = os.fsdecode
    truth = {
        "files": [[dec(p) for p in s] for s in m.sets],
        # A link that leads nowhere cannot be read through, so a search leaves it out.
        "links": [[dec(p) for p in ps] for t, ps in m.links.items()
                  if len(ps) > 1 and os.path.exists(t)],
        "empty": [dec(p) for p in m.empty],
        "hardlinks": [[dec(a), dec(b)] for a, b in m.hardlinks],
    }
    with open(os.path.join(os.fsencode(args.root), b"truth.json"), "w") as f:
        json.dump(truth, f)
    print("files %d (+%d hard links, %d symbolic links), folders %d, bytes %d (%.2f GiB), "
          "duplicate sets %d holding %d bytes (%.2f GB)" %
          (m.count - len(m.hardlinks) - sum(len(v) for v in m.links.values()),
           len(m.hardlinks), sum(len(v) for v in m.links.values()), len(m.folders) - 1,
           m.bytes, m.bytes / (1 << 30), len(m.sets), m.dup_bytes, m.dup_bytes / 1e9))


if __name__ == "__main__":
    main()

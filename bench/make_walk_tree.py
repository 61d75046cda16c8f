#!/usr/bin/env python3
"""Makes a reproducible tree of many files for timing the walk: nested folders, sparse files
of assorted sizes (the walk reads no contents), some sharing sizes and names."""
import argparse
import os
import random


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--files", type=int, default=200_000)
    parser.add_argument("--per-folder", type=int, default=40)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    os.makedirs(args.root, exist_ok=True)
    folders = [args.root]
    made = 0
    while made < args.files:
        parent = rng.choice(folders[-200:])
        folder = os.path.join(parent, "d%05d" % len(folders))
        os.mkdir(folder)
        folders.append(folder)
        for _ in range(min(args.per_folder, args.files - made)):
            # Sizes from a few bytes to a few megabytes, log-uniform, so that many repeat.
            size = int(10 ** rng.uniform(0, 6.5))
            name = "f%d.%s" % (rng.randrange(50_000), rng.choice(["jpg", "txt", "dat", "png"]))
            path = os.path.join(folder, name)
            if os.path.exists(path):
                continue
            with open(path, "wb") as f:
                f.truncate(size)
            made += 1
    print("made %d files in %d folders under %s" % (made, len(folders), args.root))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes a file tree shaped like a browser's install, the same bytes for the
same arguments: the staged updates and old data folders that the benchmarks
and the cut-off-start tests work on.

  make_tree.py OUT                         browser-sized: 1,500 files, 250 MB,
                                           120 folders up to four levels deep
  make_tree.py --files 100000 --flat OUT   100,000 files of 4 KB in OUT itself
  make_tree.py --seed 2 --browser= OUT     other content, no program at the top
  make_tree.py --files 150 --megabytes 5 OUT   a small tree of the same kind

Names and folders depend only on --files and --flat, so trees of two seeds
have one shape, and one laid over the other replaces every file; the content
depends on the seed as well. OUT must not exist, or be an empty folder.
"""

import argparse
import os
import random

BROWSER_SIZE = 2 << 20
FLAT_FILE_SIZE = 4096
TOTAL_SIZE = 250 << 20
FOLDERS = 120
WORDS = ["locales", "resources", "plugins", "fonts", "extensions", "gpu", "themes",
         "icons", "dictionaries", "scripts", "media", "policies"]
EXTENSIONS = [".dll", ".pak", ".dat", ".json", ".png", ".js", ".bin", ".txt"]
BLOCK_SIZE = 1 << 20


def plan_folders(rng):
    """Relative folder paths, at most four deep; the first, "", is the top."""
    folders = [""]
    while len(folders) < FOLDERS:
        parent = rng.choice(folders)
        if parent.count("/") < 3:
            name = "%s%d" % (rng.choice(WORDS), len(folders))
            folders.append(parent + "/" + name if parent else name)
    return folders


def plan_sizes(rng, count, total):
    """One large library, one medium pack in a hundred files, and many small
    files whose sizes fall off as a power law: a browser's mix."""
    if count < 3:
        return [total // max(count, 1)] * count
    medium = max(1, count // 100)
    small = count - 1 - medium
    weights = [rng.paretovariate(1.2) for _ in range(small)]
    small_total = total * 3 // 10
    scale = small_total / sum(weights)
    return ([total * 4 // 10] + [total * 3 // 10 // medium] * medium +
            [max(1, int(weight * scale)) for weight in weights])


def plan(files, flat, total):
    """(relative path, size) of every file, and the folders to make."""
    rng = random.Random(files * 2 + flat)
    if flat:
        return [("file%06d.dat" % i, FLAT_FILE_SIZE) for i in range(files)], [""]
    folders = plan_folders(rng)
    paths = []
    for i, size in enumerate(plan_sizes(rng, files, total)):
        folder = rng.choice(folders)
        name = "part%d%s" % (i, rng.choice(EXTENSIONS))
        paths.append((folder + "/" + name if folder else name, size))
    return paths, folders


def write(path, size, block, start):
    """size bytes of block, read round from start."""
    with open(path, "wb") as out:
        while size > 0:
            piece = block[start:start + size]
            out.write(piece)
            size -= len(piece)
            start = 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("--files", type=int, default=1500)
    parser.add_argument("--flat", action="store_true")
    parser.add_argument("--megabytes", type=int, default=TOTAL_SIZE >> 20,
                        help="the files' total size, but the program's and a flat tree's")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--browser", default="Tavrel.exe",
                        help="the program file at the top (empty: none)")
    args = parser.parse_args()

    files, folders = plan(args.files, args.flat, args.megabytes << 20)
    if args.browser:
        files.append((args.browser, BROWSER_SIZE))
    content = random.Random(args.seed)
    block = content.randbytes(BLOCK_SIZE)
    os.makedirs(args.out, exist_ok=True)
    if os.listdir(args.out):
        parser.error("%s is not empty" % args.out)
    for folder in folders[1:]:
        os.makedirs(os.path.join(args.out, folder))
    for path, size in files:
        write(os.path.join(args.out, path), size, block, content.randrange(BLOCK_SIZE))


if __name__ == "__main__":
    main()

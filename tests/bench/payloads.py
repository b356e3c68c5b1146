#!/usr/bin/env python3
"""Seeded payload files of the benchmark, byte-identical on every run.

    payloads.py OUTPUT_DIR KIND...      KIND: large small tiny huge

Per kind: OUTPUT_DIR/KIND/tree/ holds the files as they are installed (the
NSIS script packs this tree), KIND.manifest feeds the project's packer and
KIND.listing (name, size, CRC-32 per line) lets the driver check an
installation. Names go into the product's two component folders, the only
ones the installer creates.
"""
import os
import random
import sys
import zlib

FOLDERS = ("Ostrel-5.11", "Ostrel-5.06")


def content_maker(rng):
    words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
             for _ in range(3000)]

    def content(size):
        # Text-like runs mixed with incompressible blocks, roughly like program files.
        out = bytearray()
        while len(out) < size:
            if rng.random() < 0.3:
                out += rng.randbytes(rng.randint(256, 4096))
            else:
                out += b" ".join(rng.choice(words) for _ in range(rng.randint(50, 400))) + b"\n"
        return bytes(out[:size])

    return content


def write(out_dir, kind, entries, content):
    tree = os.path.join(out_dir, kind, "tree")
    for folder in FOLDERS:
        os.makedirs(os.path.join(tree, folder), exist_ok=True)
    with open(os.path.join(out_dir, f"{kind}.manifest"), "w") as manifest, \
            open(os.path.join(out_dir, f"{kind}.listing"), "w") as listing:
        for name, size in entries:
            data = content(size)
            source = os.path.join(tree, *name.split("\\"))
            with open(source, "wb") as f:
                f.write(data)
            manifest.write(f"{name}\t{source}\n")
            listing.write(f"{name}\t{len(data)}\t{zlib.crc32(data):08x}\n")


def sized(total, count, rng, low, high):
    sizes = [rng.randint(low, high) for _ in range(count)]
    scale = total / sum(sizes)
    return [int(s * scale) for s in sizes]


def main():
    out_dir, kinds = sys.argv[1], set(sys.argv[2:])
    # One generator for the two main payloads, in this order, so that their
    # bytes stay those of every earlier run.
    rng = random.Random(433)
    content = content_maker(rng)
    large = [(f"{FOLDERS[i % 2]}\\file{i:02d}.bin", s) for i, s in enumerate(sized(27_000_000, 19, rng, 200_000, 2_600_000))]
    if "large" in kinds or "small" in kinds:
        write(out_dir, "large", large, content)
    if "small" in kinds:
        small = [(f"{FOLDERS[i % 2]}\\small{i:05d}.txt", rng.randint(100, 3000)) for i in range(10000)]
        write(out_dir, "small", small, content)
    if "tiny" in kinds:
        rng_tiny = random.Random(434)
        write(out_dir, "tiny", [(f"{FOLDERS[0]}\\tiny.txt", 1024)], content_maker(rng_tiny))
    if "huge" in kinds:
        # Ten times the large payload's size in the same 19 files, for the
        # check that memory stays flat in the payload size.
        rng_huge = random.Random(435)
        huge = [(f"{FOLDERS[i % 2]}\\huge{i:02d}.bin", s) for i, s in enumerate(sized(270_000_000, 19, rng_huge, 200_000, 2_600_000))]
        write(out_dir, "huge", huge, content_maker(rng_huge))


if __name__ == "__main__":
    main()

#!/usr/bin/env bash
# Benchmark of the payload installation under wine64 (not part of ctest):
# a payload of about 27 MB in 19 files and one of 10,000 small files are
# packed with the build's packer, put into copies of the test build's
# installer, and installed unattended; the driver prints wall time and peak
# memory per run and the raw liblzma decode time of the same stream.
#
#   tests/bench/run-bench.sh [BUILD_DIR]      (default build/x86_64)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-$root/build/x86_64}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --build "$build" --target QuillmoreInstaller install_bench quillmore_packer >/dev/null

python3 - "$work" <<'PY'
import os, random, sys
work = sys.argv[1]
rng = random.Random(433)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(3000)]

def content(size):
    # Text-like runs mixed with incompressible blocks, roughly like program files.
    out = bytearray()
    while len(out) < size:
        if rng.random() < 0.3:
            out += rng.randbytes(rng.randint(256, 4096))
        else:
            out += b" ".join(rng.choice(words) for _ in range(rng.randint(50, 400))) + b"\n"
    return bytes(out[:size])

def write(kind, entries):
    os.makedirs(f"{work}/{kind}", exist_ok=True)
    with open(f"{work}/{kind}.manifest", "w") as manifest:
        for i, (name, size) in enumerate(entries):
            source = f"{work}/{kind}/{i}.bin"
            with open(source, "wb") as f:
                f.write(content(size))
            manifest.write(f"{name}\t{source}\n")

sizes = [rng.randint(200_000, 2_600_000) for _ in range(19)]
scale = 27_000_000 / sum(sizes)
write("large", [(f"Ostrel-5.{'06' if i % 2 else '11'}\\file{i:02d}.bin", int(s * scale)) for i, s in enumerate(sizes)])
write("small", [(f"Ostrel-5.{'06' if i % 2 else '11'}\\small{i:05d}.txt", rng.randint(100, 3000)) for i in range(10000)])
PY

for kind in large small; do
  "$build/tools/quillmore-packer" payload "$work/$kind.manifest" "$work/$kind.lzma"
done

# Each payload in a fresh prefix; the driver runs the installer three times.
export QUILLMORE_HARNESS_DIR=$build/wine
winpath() { printf 'Z:%s' "${1//\//\\}"; }
for kind in large small; do
  "$root/tests/harness/wine-run" --fresh "$build/bin/install_bench.exe" \
    "$(winpath "$build/bin/QuillmoreInstaller.exe")" "$(winpath "$work/$kind.lzma")" "$kind" 3
done

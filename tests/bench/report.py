#!/usr/bin/env python3
"""Prints the benchmark's table from the lines run-bench.sh collected.

    report.py RESULTS ROUNDS
"""
import statistics
import sys

LABELS = {
    "large": "27 MB in 19 files",
    "small": "10,000 small files",
    "tiny": "1 KB (fixed cost)",
    "huge": "270 MB in 19 files",
}


def fields(words):
    return {k: float(v) for k, v in (w.split("=", 1) for w in words)}


def main():
    path, rounds = sys.argv[1], sys.argv[2]
    runs, sizes, limits, kinds = {}, {}, {}, []
    for line in open(path):
        words = line.split()
        kind = words[0]
        if kind not in kinds:
            kinds.append(kind)
        if words[1] == "sizes":
            sizes[kind] = fields(words[2:])
        elif words[1] == "limits":
            limits.setdefault(kind, []).append(fields(words[3:]))
        else:
            runs.setdefault((kind, words[1]), []).append(fields(words[3:]))

    def seconds(v):
        return f"{v:.3f} s"

    def mib(v):
        return f"{v / 1048576:.1f} MiB"

    def size(v):
        return f"{int(v):,} B" if v else "-"

    measures = [
        ("wall time, median", lambda r: statistics.median(x["wall"] for x in r), seconds),
        ("wall time, minimum", lambda r: min(x["wall"] for x in r), seconds),
        ("peak working set", lambda r: max(x["peak_ws"] for x in r), mib),
        ("peak private bytes", lambda r: max(x["peak_private"] for x in r), mib),
    ]
    rows = []
    for kind in kinds:
        ours, nsis = runs.get((kind, "ours"), []), runs.get((kind, "nsis"), [])
        label = LABELS.get(kind, kind)
        for name, pick, show in measures:
            a = pick(ours) if ours else None
            b = pick(nsis) if nsis else None
            rows.append((label, name, show(a) if a is not None else "-", show(b) if b is not None else "-",
                         f"{a / b:.2f}" if a and b else "-"))
            label = ""
        s = sizes.get(kind, {})
        for name, mine, theirs in (("installer size", "ours_exe", "nsis_exe"),
                                   ("payload size", "ours_payload", "nsis_payload")):
            a, b = s.get(mine, 0), s.get(theirs, 0)
            rows.append(("", name, size(a), size(b), f"{a / b:.2f}" if a and b else "-"))

    header = ("payload", "measure", "ours", "NSIS", "ours/NSIS")
    widths = [max(len(r[i]) for r in rows + [header]) for i in range(5)]

    def show_row(r):
        return "| " + " | ".join(c.ljust(w) if i < 2 else c.rjust(w) for i, (c, w) in enumerate(zip(r, widths))) + " |"

    print(f"\nBenchmark, {rounds} alternating rounds under wine64, each installation in a fresh prefix and checked;"
          " peaks are the largest of the rounds")
    print(show_row(header))
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for r in rows:
        print(show_row(r))

    print("\nLimits (medians): liblzma alone decoding our payload, a raw CreateFile/WriteFile/CloseHandle loop"
          " writing its files, and our median time over the larger of the two")
    for kind in kinds:
        if kind not in limits:
            continue
        decode = statistics.median(x["decode"] for x in limits[kind])
        write = statistics.median(x["write"] for x in limits[kind])
        ours = runs.get((kind, "ours"))
        ratio = f"{statistics.median(x['wall'] for x in ours) / max(decode, write):.2f}" if ours else "-"
        print(f"  {LABELS.get(kind, kind):<20} decode {seconds(decode):>9}   write {seconds(write):>9}"
              f"   ours / larger limit {ratio}")


if __name__ == "__main__":
    main()

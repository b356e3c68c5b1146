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
            sizes.setdefault(kind, {}).update(fields(words[2:]))
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

    def spread(values, show):
        return f"{show(statistics.median(values))} [{show(min(values))}-{show(max(values))}]"

    # Wall times keep every round, so that a ratio is taken round by round
    # and its spread shows beside it.
    measures = [
        ("wall time, median [min-max]", lambda r: [x["wall"] for x in r], lambda v: spread(v, seconds)),
        ("peak working set", lambda r: max(x["peak_ws"] for x in r), mib),
        ("peak private bytes", lambda r: max(x["peak_private"] for x in r), mib),
    ]
    with_base = any(who == "base" for _, who in runs)

    def ratio(a, b):
        if isinstance(a, list) and isinstance(b, list):
            return spread([x / y for x, y in zip(a, b)], lambda v: f"{v:.2f}")
        return f"{a / b:.2f}" if a and b else "-"

    def row(label, name, show, values):
        base, ours, nsis = values
        cells = [label, name]
        if with_base:
            cells.append(show(base) if base is not None else "-")
        cells += [show(ours) if ours is not None else "-", show(nsis) if nsis is not None else "-"]
        if with_base:
            cells.append(ratio(base, nsis))
        cells.append(ratio(ours, nsis))
        return tuple(cells)

    rows = []
    for kind in kinds:
        label = LABELS.get(kind, kind)
        for name, pick, show in measures:
            values = [pick(runs[(kind, who)]) if runs.get((kind, who)) else None for who in ("base", "ours", "nsis")]
            rows.append(row(label, name, show, values))
            label = ""
        s = sizes.get(kind, {})
        rows.append(row("", "installer size", size, [s.get("base_exe"), s.get("ours_exe"), s.get("nsis_exe")]))
        rows.append(row("", "payload size", size,
                        [s.get("ours_payload") if with_base else None, s.get("ours_payload"), s.get("nsis_payload")]))

    header = ("payload", "measure", "before", "ours", "NSIS", "before/NSIS", "ours/NSIS") if with_base else \
        ("payload", "measure", "ours", "NSIS", "ours/NSIS")
    widths = [max(len(r[i]) for r in rows + [header]) for i in range(len(header))]

    def show_row(r):
        return "| " + " | ".join(c.ljust(w) if i < 2 else c.rjust(w) for i, (c, w) in enumerate(zip(r, widths))) + " |"

    print(f"\nBenchmark, {rounds} alternating rounds under wine64 (ours: the release build), each installation in a"
          " fresh prefix and checked; ratios round by round; peaks are the largest of the rounds")
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
        line = f"  {LABELS.get(kind, kind):<20} decode {seconds(decode):>9}   write {seconds(write):>9}"
        for who, name in (("base", "before"), ("ours", "ours")):
            if runs.get((kind, who)):
                line += f"   {name} / larger limit {statistics.median(x['wall'] for x in runs[(kind, who)]) / max(decode, write):.2f}"
        print(line)


if __name__ == "__main__":
    main()

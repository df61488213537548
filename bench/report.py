#!/usr/bin/env python3
"""Turns a Google Benchmark JSON run into BENCHMARKS.md and an SVG chart of ratios vs goals.

Benchmarks are named BM_<ID>_<Workload>/<impl>, where impl is "ours" or a peer. Every ours
benchmark is paired with each peer of the same BM_<ID>_<Workload>; the ratio is ours/peer of
the CPU-time medians. A goal is met when the ratio is within the goal plus 15 % tolerance.
"""
import datetime
import json
import math
import platform
import re
import sys

TOLERANCE = 1.15

# ID -> (what is measured, {peer: maximum ratio ours/peer}, absolute limit in ns or None)
GOALS = {
    "A1": ("append 1e5 ints, no listener", {"vector_schedule": 1.15, "header_floor": 1.15}, None),
    "A2": ("append 1e6 / 3e6 ints", {"vector_schedule": 1.15}, None),
    "A3": ("append 1e5 with one listener", {}, 1.6e6),
    "A4": ("sort 1e5 distinct ints", {"qsort": 1.2, "std_sort": 2.5}, None),
    "A5": ("sort 1e5, ten keys / all equal", {"qsort": 3.0}, None),
    "A6": ("1e6 bisection finds in 1e5", {"equal_range": 1.5}, None),
    "A7": ("2e4 ordered adds", {"upper_bound_insert": 1.5}, None),
    "A8": ("array copy; first write after copy", {"shared_ptr_copy": 2.0, "vector_copy": 1.2}, None),
    # The chained table with the map's growth rule and chain lengths measures above
    # std::unordered_map here, so its floor replaces the ratio to std::unordered_map.
    "M1": ("int map, keys 1..1e5", {"chained_floor": 1.15}, None),
    "M2": ("int map, random keys", {"unordered_map": 1.3, "absl_flat": 4.5}, None),
    "M3": ("string map, names", {"absl_node": 2.0, "unordered_map": 1.0}, None),
    "M4": ("string hash alone", {"std_hash": 1.0}, None),
    "S1": ("Find(char), 1 MiB", {"std_find": 1.2}, None),
    "S2": ("ReverseFind(char), 1 MiB", {"memrchr": 1.2}, None),
    "S3": ("Find(substring), 1 MiB", {"std_find": 1.2}, None),
    "S4": ("Find(char) on short names", {"std_find": 1.5}, None),
    "S5": ("copy 8 B / 200 B", {"std_string": 1.5}, None),
    "S6": ("copy+AllTrim, copy+Insert", {"std_string": 1.5}, None),
    "S7": ("Format 3 args; << double", {"snprintf": 1.5}, None),
    "W1": ("wildcard Match over names", {"fnmatch": 0.8}, None),
    "W2": ("8 stars, 40 and 1000 chars", {"fnmatch": 2.0}, None),
    "N1": ("sort names by CompareAlNum", {"strverscmp": 1.5}, None),
    "R1": ("regex, class-led patterns", {"std_regex": 0.5}, None),
    "R2": ("regex, group-led pattern", {"std_regex": 0.35}, None),
    "R3": ("regex, literal-led patterns", {"std_regex": 0.3, "pcre2": 3.0}, None),
    "O1": ("notify, 1 listener", {"vector_function": 3.0, "signals2_dummy": 0.2}, None),
    "O2": ("notify, 10 listeners", {"vector_function": 3.0, "signals2_dummy": 0.45}, None),
    "O3": ("attach+detach", {"intrusive_list": 2.0, "signals2": 0.05}, None),
    "O4": ("notify with no listener", {"signals2": 0.2}, None),
    "G1": ("Combine / SetAsIntersection", {"plain": 1.5, "boost_geometry": 0.5}, None),
    "G2": ("Clip overlapping pairs", {"boost_geometry": 0.03}, None),
    "G3": ("Transform 1e6 points", {"eigen": 1.5}, None),
    "G4": ("arc GetSizeAngle", {"two_atan2": 1.5}, None),
    "D1": ("message lookup", {"fseek_fread": 1.15}, None),
    "U1": ("Base2Str (mm) / Angle2Str, 1e6 values", {"snprintf_trim": 0.5}, None),
    "U2": ("Str2Base (mm) / Str2Angle, 1e6 texts", {"strtod": 1.2}, None),
    "F1": ("GetLine over 64 MiB of 60-byte lines", {"fgets": 1.2}, None),
    "F2": ("Read 64 MiB in 64 KiB blocks", {"fread": 1.05}, None),
    "F3": ("typed Put/Get of 1e6 ints", {"fwrite_fread": 1.5}, None),
    "F4": ("sum of a 64 MiB mapped file", {"mmap": 1.05}, None),
    "Dr1": ("record 1e6 DrawLine, replay into a counting area", {"vector_switch": 2.0}, None),
}
GOALS["P1"] = ("parse 1e6 paths", {"std_filesystem": 0.5}, None)
GOALS["L1"] = ("list 10,000 files with a pattern", {"readdir_fnmatch": 1.2}, None)

# Measured without a goal: listed with their times in an informational section.
INFORMATIONAL = {
    "X1": "new + first Ref + release of a heap object while n older fresh objects wait (argument: n)",
    "X2": "first Ref + release of the oldest fresh object, k newer fresh ones waiting, + one new (argument: k)",
    "C1": "collection: 100,000 source inserts into a filtered, sorted collection",
    "C2": "collection: 100,000 key changes into 10,000 sorted handles (arguments: suspended, smart)",
    "C3": "collection: forced reload of 100,000 sorted handles",
}

# Hand-kept notes (why a goal is not met, what is left) appended to BENCHMARKS.md.
NOTES = "bench/NOTES.md"



def load_medians(path):
    with open(path) as f:
        data = json.load(f)
    medians = {}
    for bench in data["benchmarks"]:
        if bench.get("aggregate_name") != "median":
            continue
        name = bench["run_name"]
        cpu = bench["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[bench["time_unit"]]
        medians[name] = cpu
    return data.get("context", {}), medians


def split(name):
    """BM_A1_Append/ours/100000 -> ("A1", "BM_A1_Append", "ours", "/100000")."""
    m = re.match(r"^(BM_([A-Z][a-z]?\d+)_[^/]+)/([^/]+)(/.*)?$", name)
    return (m.group(2), m.group(1), m.group(3), m.group(4) or "") if m else None


def rows_from(medians):
    rows = []
    for name, ours in sorted(medians.items()):
        parts = split(name)
        if not parts or parts[2] != "ours":
            continue
        gid, base, _, args = parts
        what, peers, absolute = GOALS.get(gid, (base, {}, None))
        workload = base[len("BM_" + gid + "_"):] + args
        if absolute is not None:
            rows.append((gid, workload, ours, None, "-", absolute / ours if ours else 0, None, ours <= absolute * TOLERANCE, absolute))
        for other, peer_time in sorted(medians.items()):
            oparts = split(other)
            if not oparts or oparts[1] != base or oparts[3] != args or oparts[2] == "ours":
                continue
            peer = oparts[2]
            ratio = ours / peer_time if peer_time else float("inf")
            goal = peers.get(peer)
            met = None if goal is None else ratio <= goal * TOLERANCE
            rows.append((gid, workload, ours, peer_time, peer, ratio, goal, met, None))
    return rows


def informational_rows(medians):
    """ours benchmarks that pair with no peer and have no absolute goal."""
    paired = set()
    for name in medians:
        parts = split(name)
        if parts and parts[2] != "ours":
            paired.add((parts[1], parts[3]))
    rows = []
    for name, ours in sorted(medians.items()):
        parts = split(name)
        if not parts or parts[2] != "ours" or (parts[1], parts[3]) in paired:
            continue
        gid, base, _, args = parts
        if gid in GOALS and GOALS[gid][2] is not None:
            continue
        what = INFORMATIONAL.get(gid, GOALS.get(gid, ("",))[0])
        rows.append((gid, base[len("BM_" + gid + "_"):] + args, ours, what))
    return rows


def fmt_time(ns):
    if ns is None:
        return "-"
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if ns >= scale:
            return f"{ns / scale:.3g} {unit}"
    return f"{ns:.3g} ns"


def write_markdown(path, context, rows, chart, info=(), notes=""):
    today = datetime.date.today().isoformat()
    cpu = context.get("host_name", platform.node())
    machine = f"{context.get('num_cpus', '?')} x {context.get('mhz_per_cpu', '?')} MHz, {platform.machine()}, {cpu}"
    met = sum(1 for r in rows if r[7] is True)
    judged = sum(1 for r in rows if r[7] is not None)
    lines = [
        "# Benchmarks",
        "",
        f"Run of {today} on {machine}; Release build (g++ -O3), \"C\" locale.",
        "CPU-time medians of 5 repetitions, run interleaved in random order; ratio = ours / peer; "
        "a goal is met within 15 % tolerance.",
        "The machine is shared: other developers built and tested on its two cores during the run, "
        "so times move between runs (peers included); a ratio compares two rows of the same run.",
        f"Goals met: {met} of {judged} judged rows. Regenerate with `bench/run`.",
        "",
        f"![ratios against their goals]({chart})",
        "",
        "| ID | Workload | Ours | Peer | Peer time | Ratio | Goal | Met |",
        "|---|---|---|---|---|---|---|---|",
    ]
    for gid, workload, ours, peer_time, peer, ratio, goal, ok, absolute in rows:
        if absolute is not None:
            goal_text, ratio_text = f"<= {fmt_time(absolute)}", "-"
        else:
            goal_text = "-" if goal is None else f"<= {goal:g}x"
            ratio_text = f"{ratio:.3g}x"
        ok_text = "-" if ok is None else ("met" if ok else "NOT met")
        lines.append(f"| {gid} | {workload} | {fmt_time(ours)} | {peer} | {fmt_time(peer_time)} | {ratio_text} | {goal_text} | {ok_text} |")
    if info:
        lines += [
            "",
            "## Informational (no goal)",
            "",
            "| ID | Workload | Ours | What |",
            "|---|---|---|---|",
        ]
        for gid, workload, ours, what in info:
            lines.append(f"| {gid} | {workload} | {fmt_time(ours)} | {what} |")
    if notes:
        lines += ["", notes.strip()]
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def write_svg(path, rows):
    judged = [r for r in rows if r[6] is not None]
    bar_h, left, width = 18, 330, 420
    height = 40 + bar_h * len(judged) + 30
    lo, hi = math.log10(0.01), math.log10(100)

    def x(v):
        v = min(max(v, 0.01), 100)
        return left + (math.log10(v) - lo) / (hi - lo) * width

    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{left + width + 40}" height="{height}" font-family="sans-serif" font-size="11">',
           f'<text x="10" y="18" font-size="13">ratio / goal (log scale; left of the line = goal met)</text>']
    for i, (gid, workload, _, _, peer, ratio, goal, ok, _) in enumerate(judged):
        y = 30 + i * bar_h
        rel = ratio / goal
        colour = "#3a7" if rel <= TOLERANCE else "#c44"
        out.append(f'<text x="10" y="{y + 12}">{gid} {workload[:28]} vs {peer[:18]}</text>')
        out.append(f'<rect x="{left}" y="{y + 2}" width="{max(x(rel) - left, 1):.1f}" height="{bar_h - 5}" fill="{colour}"/>')
        out.append(f'<text x="{x(rel) + 3:.1f}" y="{y + 12}">{rel:.2f}</text>')
    out.append(f'<line x1="{x(1):.1f}" y1="26" x2="{x(1):.1f}" y2="{height - 25}" stroke="black"/>')
    for tick in (0.01, 0.1, 1, 10, 100):
        out.append(f'<text x="{x(tick) - 8:.1f}" y="{height - 8}">{tick:g}</text>')
    out.append("</svg>")
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: report.py RESULTS.json BENCHMARKS.md CHART.svg")
    context, medians = load_medians(sys.argv[1])
    rows = rows_from(medians)
    write_svg(sys.argv[3], rows)
    notes = ""
    try:
        with open(NOTES) as f:
            notes = f.read()
    except OSError:
        pass
    write_markdown(sys.argv[2], context, rows, sys.argv[3], informational_rows(medians), notes)


if __name__ == "__main__":
    main()
